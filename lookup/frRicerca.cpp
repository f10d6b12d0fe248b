#include "frRicerca.h"

#include "Errore.h"
#include "Finestre.h"
#include "Maiuscolo.h"
#include "Messaggi.h"
#include "ModelloDati.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "frDocumenti.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {
QLabel* etichetta(QWidget* padre, const QString& testo, const QRect& r, bool grassetto = false, bool incassata = false)
{
    auto* l = new QLabel(testo, padre);
    l->setGeometry(r);
    if (grassetto) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    if (incassata)
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return l;
}

QLineEdit* casella(QWidget* padre, const char* nome, const QString& titolo, int x, int larghezza, int caratteri)
{
    etichetta(padre, titolo, {x, 18, larghezza + 10, 16});
    auto* e = new QLineEdit(padre);
    e->setObjectName(QLatin1String(nome));
    e->setGeometry(x, 34, larghezza, 21);
    e->setMaxLength(caratteri);
    e->setValidator(new Maiuscolo(e));
    return e;
}
}  // namespace

TfRicerca::TfRicerca(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent) : QDialog(parent), ricerca_(dati)
{
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    Finestre::caratterePredefinito(this);
    setFixedSize(792, 573);
    disponi(immagini);
    // Only with owners to show can a dossier be opened.
    connect(&ricerca_.ADOQuery3, &DataSet::datiCambiati, this, [this] {
        Documenti->setEnabled(ricerca_.ADOQuery3.aperto() && !ricerca_.ADOQuery3.vuoto());
    });
}

void TfRicerca::disponi(const TdImmagini* immagini)
{
    const auto C = Qt::AlignHCenter, R = Qt::AlignRight, L = Qt::AlignLeft;

    Chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    Chiudi->setObjectName(QStringLiteral("Chiudi"));
    Chiudi->setGeometry(8, 8, 75, 25);
    connect(Chiudi, &QPushButton::clicked, this, &QDialog::reject);  // Escape too

    GroupBox1 = new QGroupBox(QStringLiteral("Identificativo catastale"), this);
    GroupBox1->setGeometry(8, 40, 364, 100);
    Edit1 = casella(GroupBox1, "Edit1", QStringLiteral("Sezione"), 10, 44, 3);
    Edit2 = casella(GroupBox1, "Edit2", QStringLiteral("Foglio"), 64, 50, 4);
    Edit3 = casella(GroupBox1, "Edit3", QStringLiteral("Numero"), 124, 58, 5);
    Edit4 = casella(GroupBox1, "Edit4", QStringLiteral("Subalt."), 192, 50, 4);
    Button1 = new QPushButton(QStringLiteral("Cerca..."), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(264, 32, 88, 25);
    connect(Button1, &QPushButton::clicked, this, &TfRicerca::Button1Click);
    etichetta(GroupBox1, QStringLiteral(" Quantità "), {10, 68, 70, 20}, true, true);
    Quantita1 = etichetta(GroupBox1, QString(), {86, 68, 70, 20});
    Quantita1->setObjectName(QStringLiteral("Quantita1"));

    GroupBox2 = new QGroupBox(QStringLiteral("Categoria catastale"), this);
    GroupBox2->setGeometry(8, 144, 364, 70);
    LabelCategoria = etichetta(GroupBox2, QStringLiteral("Categoria"), {10, 20, 120, 16});
    Edit5 = new QLineEdit(GroupBox2);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    Edit5->setGeometry(10, 38, 44, 21);
    Edit5->setMaxLength(3);
    Edit5->setValidator(new Maiuscolo(Edit5));
    Button2 = new QPushButton(QStringLiteral("Cerca..."), GroupBox2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(64, 36, 88, 25);
    connect(Button2, &QPushButton::clicked, this, &TfRicerca::Button2Click);
    etichetta(GroupBox2, QStringLiteral("Quantità"), {170, 20, 80, 18}, true, true)->setAlignment(Qt::AlignCenter);
    etichetta(GroupBox2, QStringLiteral("Sup. totale"), {262, 20, 90, 18}, true, true)->setAlignment(Qt::AlignCenter);
    Quantita2 = etichetta(GroupBox2, QString(), {170, 42, 80, 20});
    Quantita2->setObjectName(QStringLiteral("Quantita2"));
    Superficie2 = etichetta(GroupBox2, QString(), {262, 42, 90, 20});
    Superficie2->setObjectName(QStringLiteral("Superficie2"));
    for (QLabel* l : {Quantita2, Superficie2})
        l->setAlignment(Qt::AlignCenter);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(380, 8, 404, 201);
    (new ModelloDati(ricerca_.ADOQuery1,
                     {{QStringLiteral("Immobile"), QStringLiteral("Immobile"), 59, C, C},
                      {QStringLiteral("SezUrbana"), QStringLiteral("Sezione"), 46, C, C},
                      {QStringLiteral("Foglio"), QStringLiteral("Foglio"), 34, C, C},
                      {QStringLiteral("Numero"), QStringLiteral("Numero"), 43, C, C},
                      {QStringLiteral("Denominatore"), QStringLiteral("Denominatore"), 74, C, C},
                      {QStringLiteral("Subalterno"), QStringLiteral("Subalterno"), 57, C, C},
                      {QStringLiteral("Edificialita"), QStringLiteral("Edificialità"), 54, C, C}},
                     this))
        ->collega(DBGrid1);

    DBGrid2 = new QTableView(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setGeometry(8, 216, 705, 201);
    (new ModelloDati(ricerca_.ADOQuery2,
                     {{QStringLiteral("Immobile"), QStringLiteral("Immobile"), 51, C, C},
                      {QStringLiteral("Categoria"), QStringLiteral("Categoria"), 56, C, C},
                      {QStringLiteral("Superficie"), QStringLiteral("Superficie"), 54, R, R},
                      {QStringLiteral("Esito"), QStringLiteral("Esito"), 201, L, L},
                      {QStringLiteral("Lotto"), QStringLiteral("Lotto"), 36, C, C},
                      {QStringLiteral("Edificio"), QStringLiteral("Edificio"), 44, C, C},
                      {QStringLiteral("Scala"), QStringLiteral("Scala"), 36, C, C},
                      {QStringLiteral("Interno1"), QStringLiteral("Interno 1"), 52, C, C},
                      {QStringLiteral("Interno2"), QStringLiteral("Interno 2"), 52, C, C},
                      {QStringLiteral("Piano1"), QStringLiteral("Piano 1"), 46, C, C},
                      {QStringLiteral("Piano2"), QStringLiteral("Piano 2"), 46, C, C},
                      {QStringLiteral("Piano3"), QStringLiteral("Piano 3"), 46, C, C},
                      {QStringLiteral("Piano4"), QStringLiteral("Piano 4"), 46, C, C}},
                     this))
        ->collega(DBGrid2);
    DBGrid2->verticalHeader()->hide();  // no row indicator

    Documenti = new QToolButton(this);
    Documenti->setObjectName(QStringLiteral("Documenti"));
    Documenti->setGeometry(730, 376, 41, 41);
    Documenti->setToolTip(QStringLiteral("Documenti correlati"));
    Documenti->setIconSize(QSize(32, 32));
    if (immagini && TdImmagini::Documenti < immagini->ImageList1.size())
        Documenti->setIcon(immagini->ImageList1[TdImmagini::Documenti]);
    Documenti->setEnabled(false);
    connect(Documenti, &QToolButton::clicked, this, &TfRicerca::DocumentiClick);

    DBGrid3 = new QTableView(this);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setGeometry(8, 426, 769, 137);
    (new ModelloDati(ricerca_.ADOQuery3,
                     {{QStringLiteral("Denominazione"), QStringLiteral("Denominazione"), 350},
                      {QStringLiteral("NData"), QStringLiteral("Data nasc."), 69, C, C},
                      {QStringLiteral("NComune"), QStringLiteral("Luogo di nascita"), 200},
                      {QStringLiteral("CodFisc"), QStringLiteral("Codice fiscale"), 115, C, C}},
                     this))
        ->collega(DBGrid3);

    // cells clip their text, as every grid of the program does
    for (QTableView* v : {DBGrid1, DBGrid2, DBGrid3})
        v->setTextElideMode(Qt::ElideNone);
    // Enter presses nothing here; Escape is "Chiudi".
    for (QPushButton* b : {Chiudi, Button1, Button2})
        b->setAutoDefault(false);
}

void TfRicerca::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A restore from minimised is no new showing.
    if (e->spontaneous())
        return;
    Finestre::centraSulloSchermo(this);
    FormShow();
}

void TfRicerca::FormShow()
{
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5})
        e->clear();
    for (QLabel* l : {LabelCategoria, Quantita1, Quantita2, Superficie2})
        l->clear();
    Documenti->setEnabled(false);
    if (Tag == 1) {
        Edit2->setText(FoglioRicerca);
        Edit3->setText(NumeroRicerca);
        Edit4->setText(SubalternoRicerca);
        Button1Click();
    }
}

void TfRicerca::Button1Click()
{
    try {
        const int n = ricerca_.cercaIdentificativo({Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()});
        Quantita1->setText(QString::number(n));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}

void TfRicerca::Button2Click()
{
    try {
        const RicercaCatastale::Categoria c = ricerca_.cercaCategoria(Edit5->text());
        Quantita2->setText(QString::number(c.quantita));
        Superficie2->setText(c.superficie);
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}

void TfRicerca::DocumentiClick()
{
    if (Tag != 0) {
        reject();  // back to the dossier that opened this search
        return;
    }
    const Query& proprietari = ricerca_.ADOQuery3;
    if (!fDocumenti || !proprietari.aperto() || proprietari.vuoto())
        return;
    TfDocumenti* d = nullptr;
    {
        CursoreAttesa attesa;
        d = fDocumenti();
        d->NumSoggetto = proprietari.intero(u"Soggetto");
        d->setWindowTitle(QStringLiteral("Documenti relativi a ") + proprietari.testo(u"Denominazione") +
                          QStringLiteral(" - ") + proprietari.testo(u"CodFisc"));
    }
    d->Tag = 1;  // its "Ricerca" stays disabled: this window lies underneath
    d->exec();
}

void TfRicerca::done(int r)
{
    ricerca_.chiudi();
    QDialog::done(r);
}
