#include "frDocumenti.h"

#include "AnteprimaReport.h"
#include "Errore.h"
#include "Finestre.h"
#include "GrigliaAmbienti.h"
#include "Messaggi.h"
#include "ModelloDati.h"
#include "PulsanteGrande.h"
#include "dmImmagini.h"
#include "dmTabelle.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>

namespace {
QLabel* etichetta(QWidget* padre, const QString& testo, const QRect& r, Qt::Alignment a = Qt::AlignLeft,
                  bool grassetto = true)
{
    auto* l = new QLabel(testo, padre);
    l->setGeometry(r);
    l->setAlignment(a | Qt::AlignVCenter);
    if (grassetto) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

void sfondo(QTableView* v, const QColor& c)
{
    QPalette p = v->palette();
    p.setColor(QPalette::Base, c);
    v->setPalette(p);
}
}  // namespace

TfDocumenti::TfDocumenti(TdTabelle& dati, QWidget* parent)
    : QDialog(parent), dati_(dati), dossier_(dati), frxReport1_(dati), frxReport2_(dati, ReportLettere::Uso::Singola)
{
    setWindowTitle(QStringLiteral("Documenti correlati"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(790, 571);
    disponi();
}

void TfDocumenti::disponi()
{
    const auto C = Qt::AlignHCenter, R = Qt::AlignRight, L = Qt::AlignLeft;
    etichetta(this, QStringLiteral("Superficie e ubicazione"), {8, 2, 300, 16});
    DBGrid1 = new QTableView(this);
    DBGrid1->setGeometry(8, 18, 521, 177);
    (new ModelloDati(dossier_.ADOQuery4,
                     {{QStringLiteral("Immobile"), QStringLiteral("Immobile"), 60, C, C},
                      {QStringLiteral("Categoria"), QStringLiteral("Categoria"), 56, C, C},
                      {QStringLiteral("Superficie"), QStringLiteral("Superficie"), 60, R, R},
                      {QStringLiteral("Esito"), QStringLiteral("Esito"), 230, L, L},
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
        ->collega(DBGrid1);

    Ricerca = new QPushButton(QStringLiteral("Ricerca"), this);
    Ricerca->setGeometry(706, 2, 76, 24);
    Ricerca->setToolTip(QStringLiteral("Ricerca per Foglio, Numero e Subalt."));
    etichetta(this, QStringLiteral("Dati identificativi"), {533, 30, 249, 16});
    DBGrid2 = new QTableView(this);
    DBGrid2->setGeometry(533, 50, 249, 145);
    sfondo(DBGrid2, QColor(192, 220, 192));
    (new ModelloDati(dossier_.ADOQuery1,
                     {{QStringLiteral("SezUrbana"), QStringLiteral("Sezione"), 44, C, C},
                      {QStringLiteral("Foglio"), QStringLiteral("Foglio"), 40, C, C},
                      {QStringLiteral("Numero"), QStringLiteral("Numero"), 44, C, C},
                      {QStringLiteral("Denominatore"), QStringLiteral("Denom."), 40, C, C},
                      {QStringLiteral("Subalterno"), QStringLiteral("Subalt."), 40, C, C},
                      {QStringLiteral("Edificialita"), QStringLiteral("Edif."), 30}},
                     this))
        ->collega(DBGrid2);

    etichetta(this, QStringLiteral("Superficie catastale (calcolata):"), {8, 198, 300, 18}, R);
    Totale = etichetta(this, QString(), {312, 198, 70, 18}, R, false);

    PannelloRuolo = new QWidget(this);
    PannelloRuolo->setGeometry(8, 216, 777, 56);
    etichetta(PannelloRuolo, QStringLiteral("Superficie dichiarata (a ruolo):"), {0, 0, 300, 18}, R);
    Ruolo = etichetta(PannelloRuolo, QString(), {304, 0, 70, 18}, R, false);
    auto* riga = new QFrame(PannelloRuolo);
    riga->setFrameShape(QFrame::HLine);
    riga->setGeometry(150, 19, 224, 2);
    etichetta(PannelloRuolo, QStringLiteral("Differenza:"), {0, 22, 300, 18}, R);
    Differenza = etichetta(PannelloRuolo, QString(), {304, 22, 70, 18}, R, false);
    etichetta(PannelloRuolo, QStringLiteral("Superficie di riferimento (80%):"), {390, 0, 300, 18}, R);
    Dichiarabile = etichetta(PannelloRuolo, QString(), {694, 0, 70, 18}, R, false);
    QLabel* ultima = etichetta(PannelloRuolo, QStringLiteral("Maggiore superficie accertabile:"), {390, 22, 300, 18}, R);
    Accertabile = etichetta(PannelloRuolo, QString(), {694, 22, 70, 18}, R, false);
    for (QLabel* l : {ultima, Accertabile}) {
        QFont fu = l->font();
        fu.setUnderline(true);
        l->setFont(fu);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(128, 0, 0));
        l->setPalette(p);
    }

    etichetta(this, QStringLiteral("Indirizzi"), {683, 272, 100, 16}, R);
    DBGrid3 = new QTableView(this);
    DBGrid3->setGeometry(6, 288, 777, 89);
    sfondo(DBGrid3, QColor(166, 202, 240));
    (new ModelloDati(dossier_.ADOQuery2,
                     {{QStringLiteral("Toponimo"), QStringLiteral("Toponimo"), 70},
                      {QStringLiteral("Denominazione"), QStringLiteral("Denominazione"), 200},
                      {QStringLiteral("Civico1"), QStringLiteral("Civico 1"), 50},
                      {QStringLiteral("Civico2"), QStringLiteral("Civico 2"), 50},
                      {QStringLiteral("Civico3"), QStringLiteral("Civico 3"), 50},
                      {QStringLiteral("Localita"), QStringLiteral("Località"), 90},
                      {QStringLiteral("KM"), QStringLiteral("KM"), 40},
                      {QStringLiteral("CAP"), QStringLiteral("CAP"), 44},
                      {QStringLiteral("DesFonte"), QStringLiteral("Fonte"), 250}},
                     this))
        ->collega(DBGrid3);

    etichetta(this, QStringLiteral("Dati metrici"), {8, 380, 200, 16});
    DBCtrlGrid1 = new GrigliaAmbienti(dossier_.ADOQuery3, this);
    DBCtrlGrid1->setGeometry(8, 396, 691, 168);

    Prospetto = new PulsanteGrande(QStringLiteral("Prospetto"), TdImmagini::immagine(QStringLiteral("prospetto")), this);
    Prospetto->setGeometry(706, 396, 76, 58);
    Lettera = new PulsanteGrande(QStringLiteral("Lettera"), TdImmagini::immagine(QStringLiteral("lettera")), this);
    Lettera->setGeometry(706, 458, 76, 58);
    Chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    Chiudi->setGeometry(706, 530, 76, 30);
    connect(Prospetto, &QPushButton::clicked, this, &TfDocumenti::ProspettoClick);
    connect(Lettera, &QPushButton::clicked, this, &TfDocumenti::BitBtn4Click);
    Ricerca->setEnabled(false);
    connect(Ricerca, &QPushButton::clicked, this, [this] {
        const Query& id = dossier_.ADOQuery1;
        const bool corrente = id.aperto() && !id.vuoto();
        if (apriRicerca)
            apriRicerca(corrente ? id.testo(u"Foglio") : QString(), corrente ? id.testo(u"Numero") : QString(),
                        corrente ? id.testo(u"Subalterno") : QString());
    });
    connect(Chiudi, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : {Ricerca, Prospetto, Lettera, Chiudi})
        b->setAutoDefault(false);

    setTabOrder(DBGrid1, Ricerca);
    setTabOrder(Ricerca, DBGrid2);
    setTabOrder(DBGrid2, DBGrid3);
    setTabOrder(DBGrid3, DBCtrlGrid1);
    setTabOrder(DBCtrlGrid1, Prospetto);
    setTabOrder(Prospetto, Chiudi);
    setTabOrder(Chiudi, Lettera);
}

void TfDocumenti::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A restore from minimised is no new showing: the selected unit stays.
    if (e->spontaneous())
        return;
    Finestre::centraSulloSchermo(this);
    FormShow();
}

void TfDocumenti::FormShow()
{
    // Every showing starts over; an error stops the filling, the window opens all the same.
    Totale->clear();
    for (QLabel* l : {Ruolo, Differenza, Dichiarabile, Accertabile})
        l->clear();
    try {
        dossier_.apri(NumSoggetto);
        confronto_ = dossier_.confronta(NumSoggetto, dati_.SuperficieRuolo);
        Totale->setText(confronto_.totaleTesto);
        Ruolo->setText(QString::number(confronto_.ruolo));
        Differenza->setText(QString::number(confronto_.differenza));
        Dichiarabile->setText(QString::number(confronto_.dichiarabile));
        Accertabile->setText(QString::number(confronto_.accertabile));
        PannelloRuolo->setVisible(dati_.ModalitaS);
        // Not when the cadastral search opened this dossier: it lies underneath.
        Ricerca->setEnabled(Tag == 0 && bool(apriRicerca));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
    DBGrid1->setFocus();
}

void TfDocumenti::ProspettoClick()
{
    try {
        ReportPreparato r;
        {
            CursoreAttesa attesa;
            r = frxReport1_.prepara(dossier_, NumSoggetto, dati_.ModalitaS ? QStringLiteral("S") : QString(), confronto_);
        }
        AnteprimaReport::mostra(this, std::move(r));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}

void TfDocumenti::BitBtn4Click()
{
    // The dossier's own owner, also when the cadastral search opened it.
    try {
        ReportPreparato r;
        {
            CursoreAttesa attesa;
            r = frxReport2_.preparaSingola(NumSoggetto);
        }
        AnteprimaReport::mostra(this, std::move(r));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}
