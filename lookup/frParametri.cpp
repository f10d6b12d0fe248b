#include "frParametri.h"

#include "CampoDati.h"
#include "Errore.h"
#include "Finestre.h"
#include "Maiuscolo.h"
#include "Messaggi.h"
#include "Parametri.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "frCercaCom.h"

#include <QComboBox>
#include <algorithm>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

namespace {
const QColor celeste(166, 202, 240);
const QColor argento(192, 192, 192);
const QColor verdeAcqua(0, 128, 128);

QLabel* etichetta(QWidget* padre, const QString& testo, int x, int y, int larghezza, bool grassetto = false,
                  const QColor& colore = QColor())
{
    auto* l = new QLabel(testo, padre);
    l->setGeometry(x, y, larghezza, 16);
    if (grassetto) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    if (colore.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colore);
        l->setPalette(p);
    }
    return l;
}

QWidget* pannello(QWidget* padre, const QRect& r, const QColor& colore)
{
    auto* w = new QWidget(padre);
    w->setGeometry(r);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colore);
    w->setPalette(p);
    return w;
}

}  // namespace

TfParametri::TfParametri(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent)
    : QDialog(parent), ADOQuery1(dati.ADOConnection1, QStringLiteral("ADOQuery1")), dati_(dati), immagini_(immagini)
{
    setWindowTitle(QStringLiteral("Parametri di gestione"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    Finestre::caratterePredefinito(this);
    setFixedSize(756, 461);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, celeste);
    setPalette(p);
    ADOQuery1.sql = Parametri::sqlComuniForniti();
    connect(&ADOQuery1, &DataSet::datiCambiati, this, &TfParametri::riempiElenco);
    connect(&ADOQuery1, &DataSet::rigaCambiata, this, &TfParametri::ADOQuery1AfterScroll);
    disponi(immagini);
}

void TfParametri::disponi(const TdImmagini* immagini)
{
    DataSet& par = dati_.tParametri;
    auto campo = [&](QWidget* padre, const char* colonna, const QString& titolo, int x, int y, int larghezza,
                     int caratteri, bool maiuscolo, bool grassetto) {
        etichetta(padre, titolo, x, y, std::max(larghezza, 120));
        auto* e = new CampoDati(par, QLatin1String(colonna), padre);
        e->setGeometry(x, y + 16, larghezza, 21);
        e->setMaxLength(caratteri);
        if (maiuscolo)
            e->setValidator(new Maiuscolo(e));
        if (grassetto) {
            QFont f = e->font();
            f.setBold(true);
            e->setFont(f);
        }
        campi_.append(e);
        return e;
    };

    etichetta(this, QStringLiteral("Comune di gestione"), 16, 10, 257);
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(16, 26, 257, 22);
    connect(DBLookupComboBox1, &QComboBox::activated, this, &TfParametri::DBLookupComboBox1Click);

    Panel1 = pannello(this, {16, 60, 370, 110}, argento);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFocusPolicy(Qt::ClickFocus);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(10, 12, 41, 41);
    SpeedButton1->setToolTip(QStringLiteral("Ricerca comune"));
    SpeedButton1->setIconSize(QSize(32, 32));
    if (immagini && TdImmagini::Cerca < immagini->ImageList1.size())
        SpeedButton1->setIcon(immagini->ImageList1[TdImmagini::Cerca]);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfParametri::SpeedButton1Click);
    DBEdit1 = campo(Panel1, "Nome", QStringLiteral("Nome Comune"), 64, 8, 296, 50, true, true);
    DBEdit5 = campo(Panel1, "Codice", QStringLiteral("Codice catastale"), 64, 56, 60, 4, true, true);

    etichetta(this, QStringLiteral("Altri dati relativi al Comune"), 16, 184, 370, true);
    QWidget* altri = pannello(this, {16, 202, 370, 176}, argento);
    DBEdit6 = campo(altri, "Provincia", QStringLiteral("Descrizione provincia"), 10, 6, 230, 35, true, false);
    DBEdit7 = campo(altri, "CodFis", QStringLiteral("Codice Fiscale"), 250, 6, 110, 11, true, false);
    DBEdit8 = campo(altri, "Indirizzo", QStringLiteral("Indirizzo"), 10, 46, 350, 40, true, false);
    DBEdit9 = campo(altri, "Telefono", QStringLiteral("Telefono"), 10, 86, 170, 15, true, false);
    DBEdit10 = campo(altri, "Fax", QStringLiteral("Fax"), 190, 86, 170, 15, true, false);
    DBEdit11 = campo(altri, "Firma", QStringLiteral("Firma"), 10, 126, 350, 50, false, false);

    QWidget* riepilogo = pannello(this, {400, 10, 340, 390}, verdeAcqua);
    QLabel* titolo = etichetta(riepilogo, QStringLiteral("Riepilogo"), 0, 8, 340, true, Qt::yellow);
    titolo->setAlignment(Qt::AlignCenter);
    etichetta(riepilogo, QStringLiteral("Data estrazione"), 12, 36, 120, true, Qt::white);
    DBEdit2 = new CampoDati(dati_.tUnImm9, QStringLiteral("EData"), riepilogo);
    DBEdit2->setGeometry(12, 52, 100, 21);
    etichetta(riepilogo, QStringLiteral("Totale UIU"), 180, 36, 120, true, Qt::white);
    DBEdit3 = new CampoDati(dati_.tUnImm9, QStringLiteral("TotUIU"), riepilogo);
    DBEdit3->setGeometry(180, 52, 100, 21);
    for (CampoDati* e : {DBEdit2, DBEdit3}) {
        e->setReadOnly(true);
        campi_.append(e);
    }
    etichetta(riepilogo, QStringLiteral("Tabella quadrature"), 12, 84, 200, true, Qt::white);
    Memo1 = new QPlainTextEdit(riepilogo);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(12, 100, 316, 278);
    Memo1->setReadOnly(true);

    Conferma = new QPushButton(QStringLiteral("Conferma"), this);
    Conferma->setObjectName(QStringLiteral("Conferma"));
    Conferma->setGeometry(560, 418, 85, 30);
    Conferma->setDefault(true);
    Chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    Chiudi->setObjectName(QStringLiteral("Chiudi"));
    Chiudi->setGeometry(655, 418, 85, 30);
    Chiudi->setAutoDefault(false);
    connect(Conferma, &QPushButton::clicked, this, &QDialog::accept);
    connect(Chiudi, &QPushButton::clicked, this, &QDialog::reject);  // Escape and the close box too
}

void TfParametri::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A restore from minimised is no new showing.
    if (e->spontaneous())
        return;
    Finestre::centraSulloSchermo(this);
    FormShow();
}

void TfParametri::FormShow()
{
    try {
        DataSet& riepilogo = dati_.tUnImm9;
        CodiceRiepilogo = riepilogo.aperto() && !riepilogo.vuoto() ? riepilogo.testo(u"Codice") : QString();
        Memo1->clear();
        Memo1->setPlainText(Parametri::tabellaQuadrature(riepilogo));
        aggiornaCampi();
        // The list comes back on the summarised municipality. A key left by an
        // earlier showing must not count as a pick while the list reopens.
        impostaChiave(std::nullopt);
        ADOQuery1.chiudi();
        ADOQuery1.apri();
        ADOQuery1.Locate(QStringLiteral("Codice"), {CodiceRiepilogo});
        impostaChiave(CodiceRiepilogo);
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
    Panel1->setFocus();
}

void TfParametri::riempiElenco()
{
    DBLookupComboBox1->clear();
    if (ADOQuery1.aperto()) {
        const int codice = ADOQuery1.campo(u"Codice"), comune = ADOQuery1.campo(u"Comune");
        for (int r = 0; r < ADOQuery1.righe(); ++r)
            DBLookupComboBox1->addItem(ADOQuery1.testoRiga(r, comune), ADOQuery1.testoRiga(r, codice));
    }
    impostaChiave(chiave_);
}

void TfParametri::impostaChiave(const std::optional<QString>& chiave)
{
    chiave_ = chiave;
    DBLookupComboBox1->setCurrentIndex(chiave ? DBLookupComboBox1->findData(*chiave) : -1);
}

void TfParametri::DBLookupComboBox1Click(int indice)
{
    if (indice < 0 || indice >= ADOQuery1.righe())
        return;
    impostaChiave(DBLookupComboBox1->itemData(indice).toString());
    // The list's cursor goes to the entry picked; standing there already, it counts all the same.
    if (ADOQuery1.rigaCorrente() == indice)
        ADOQuery1AfterScroll();
    else
        ADOQuery1.vaiA(indice);
}

void TfParametri::ADOQuery1AfterScroll()
{
    if (!chiave_ || !ADOQuery1.aperto() || ADOQuery1.vuoto() || ADOQuery1.rigaCorrente() < 0)
        return;
    try {
        if (*chiave_ != CodiceRiepilogo)
            Parametri::sceltaComune(dati_, CodiceRiepilogo, ADOQuery1.testo(u"Codice"), ADOQuery1.testo(u"Comune"));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
    aggiornaCampi();
}

void TfParametri::SpeedButton1Click()
{
    {
        CursoreAttesa clessidra(Cursore::HourGlass);
        if (!fCercaCom_)
            fCercaCom_ = new TfCercaCom(dati_, immagini_, this);
    }
    if (fCercaCom_->exec() != QDialog::Accepted)
        return;
    try {
        Parametri::copiaComune(dati_, fCercaCom_->CodiceScelto, fCercaCom_->NomeScelto);
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
    aggiornaCampi();
}

void TfParametri::aggiornaCampi()
{
    for (CampoDati* c : campi_)
        c->aggiorna();
}

void TfParametri::done(int r)
{
    if (r == QDialog::Accepted) {
        try {
            Parametri::conferma(dati_);
        } catch (const Errore& err) {
            // not written: the dialog stays open with the row as the clerk left it
            Messaggi::erroreStandard(this, err.testo());
            return;
        }
    } else {
        dati_.tParametri.annulla();
    }
    aggiornaCampi();
    QDialog::done(r);
}
