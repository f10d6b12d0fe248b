#include "ReportTabulato.h"

#include "dmTabelle.h"

ReportTabulato::ReportTabulato(TdTabelle& d) : ADOQuery1(d.ADOConnection1, QStringLiteral("ADOQuery1"))
{
    ADOQuery1.sql = {QStringLiteral("SELECT *"), QStringLiteral("FROM tRsuTot"),
                     QStringLiteral("ORDER BY Cognome, Nome, NData")};
}

qint64 ReportTabulato::accertabileStampato(const QVariant& accertabile)
{
    const qint64 n = accertabile.isNull() ? 0 : accertabile.toLongLong();
    return n < 0 ? 0 : n;
}

ModelloReport ReportTabulato::frxReport1()
{
    ModelloReport m;
    m.nome = QStringLiteral("Tabulato di controllo dati metrici");
    m.pagina.sinistro = 8;  // A4 portrait: bands 194 mm wide
    m.pagina.destro = 8;
    m.variabili = {QStringLiteral("AccertabileStampato")};
    const double larghezza = m.pagina.larghezzaUtile();
    auto testo = [](const char* nome, double da, double a, double y, double h, const QString& t) {
        return Elemento::Testo(QLatin1String(nome), da, y, a - da, h, t);
    };
    const QString campo = QStringLiteral("[frxDBDataset1.\"%1\"]");

    Banda& titolo = m.aggiungi(TipoBanda::TitoloReport, QStringLiteral("ReportTitle1"), 7);
    titolo.elementi.push_back(testo("Memo1", 0, larghezza, 0, 6, QStringLiteral("Tabulato di controllo dati metrici"))
                                  .conCarattere(12, true)
                                  .allinea(Orizzontale::Centro, Verticale::Centro)
                                  .conSfondo(rgb(216, 216, 216)));

    struct Titolo {
        double da, a;
        const char* testo;
    };
    static const Titolo titoli[] = {
        {0, 62, "Denominazione"},
        {63, 80, "Data nascita"},
        {81, 112, "Codice fiscale"},
        {113, 128, "Superficie catastale (calcolata)"},
        {129, 144, "Superficie dichiarata (a ruolo)"},
        {145, 160, "Differenza"},
        {161, 177, "Superficie di riferimento (80%)"},
        {178, 194, "Maggiore superficie accertabile"},
    };
    Banda& testata = m.aggiungi(TipoBanda::IntestazionePagina, QStringLiteral("PageHeader1"), 16);
    int n = 2;
    for (const Titolo& t : titoli)
        testata.elementi.push_back(Elemento::Testo(QStringLiteral("Memo%1").arg(n++), t.da, 1, t.a - t.da, 14,
                                                   QString::fromUtf8(t.testo))
                                       .conCarattere(8, true)
                                       .allinea(Orizzontale::Centro, Verticale::Centro)
                                       .conSfondo(rgb(240, 240, 240)));

    Banda& riga = m.aggiungi(TipoBanda::Dati, QStringLiteral("MasterData1"), 5);
    riga.dati = QStringLiteral("frxDBDataset1");
    riga.elementi.push_back(
        testo("frxDBDataset1Presente", 0, 2, 0, 5, campo.arg(QLatin1String("Presente"))).conCarattere(10, true).allinea(Orizzontale::Destra));
    riga.elementi.push_back(
        testo("Memo10", 3, 62, 0, 5,
              QStringLiteral("[IIF(<frxDBDataset1.\"NData\"> = 0,<frxDBDataset1.\"Cognome\"> + <frxDBDataset1.\"Nome\">,"
                             "<frxDBDataset1.\"Cognome\"> + ' ' + <frxDBDataset1.\"Nome\">)]"))
            .conCarattere(8)
            .unaRiga());
    struct Colonna {
        const char* nome;
        double da, a;
        const char* campo;
        Orizzontale allineamento;
    };
    static const Colonna colonne[] = {
        {"frxDBDataset1NData", 63, 80, "NData", Orizzontale::Centro},
        {"frxDBDataset1CodFisc", 81, 112, "CodFisc", Orizzontale::Centro},
        {"frxDBDataset1Superficie", 113, 126, "Superficie", Orizzontale::Destra},
        {"frxDBDataset1Ruolo", 130, 142, "Ruolo", Orizzontale::Destra},
        {"frxDBDataset1Differenza", 145, 158, "Differenza", Orizzontale::Destra},
        {"frxDBDataset1Dichiarabile", 162, 175, "Dichiarabile", Orizzontale::Destra},
    };
    for (const Colonna& c : colonne)
        riga.elementi.push_back(
            testo(c.nome, c.da, c.a, 0, 5, campo.arg(QLatin1String(c.campo))).conCarattere(8).allinea(c.allineamento));
    riga.elementi.push_back(
        testo("Memo11", 179, 192, 0, 5, QStringLiteral("[AccertabileStampato]")).conCarattere(8).allinea(Orizzontale::Destra));
    riga.primaDellaStampa = [](ScriptReport& s) {  // MasterData1OnBeforePrint
        s.impostaVariabile(QStringLiteral("AccertabileStampato"),
                           accertabileStampato(s.campo(QStringLiteral("frxDBDataset1"), QStringLiteral("Accertabile"))));
    };

    Banda& riepilogo = m.aggiungi(TipoBanda::RiepilogoReport, QStringLiteral("ReportSummary1"), 6);
    riepilogo.elementi.push_back(Elemento::Linea(QStringLiteral("Line1"), 0, 0, larghezza, 0).conSpessore(Misure::pixel(2)));
    const double y = Misure::pixel(2);
    riepilogo.elementi.push_back(testo("Memo12", 0, 2, y, 6 - y, QStringLiteral("*")).conCarattere(16, true));
    riepilogo.elementi.push_back(
        testo("Memo13", 4, 70, y, 5, QStringLiteral("Soggetto non trovato nei dati catastali")).conCarattere(10, true));
    riepilogo.elementi.push_back(testo("Memo14", 122, 137, y, 5, QStringLiteral("TOTALI:")).conCarattere(8, true));
    riepilogo.elementi.push_back(testo("Memo15", 141, 158, y, 5, QStringLiteral("[<SUM(<frxDBDataset1.\"Differenza\">,MasterData1)>]"))
                                     .conCarattere(8)
                                     .allinea(Orizzontale::Destra));
    // The column prints negative figures as 0, and so its total adds them:
    // a reader who adds the column finds the total.
    riepilogo.elementi.push_back(
        testo("Memo16", 176, 192, y, 5,
              QStringLiteral("[<SUM(IIF(<frxDBDataset1.\"Accertabile\"> < 0, 0, <frxDBDataset1.\"Accertabile\">),MasterData1)>]"))
            .conCarattere(8)
            .allinea(Orizzontale::Destra));

    Banda& piede = m.aggiungi(TipoBanda::PiePagina, QStringLiteral("PageFooter1"), 7);
    piede.elementi.push_back(Elemento::Linea(QStringLiteral("Line2"), 0, 0, larghezza, 0).conSpessore(Misure::pixel(2)));
    piede.elementi.push_back(
        Elemento::Testo(QStringLiteral("Memo17"), 0, Misure::pixel(2), 0, 6, QStringLiteral("[Date] [Time]")).dalTesto());
    piede.elementi.push_back(testo("Memo18", 174, larghezza, Misure::pixel(2), 6, QStringLiteral("Pag. [Page#]"))
                                 .allinea(Orizzontale::Destra));
    return m;
}

DatiReport ReportTabulato::dati(const QDateTime& adesso)
{
    ADOQuery1.chiudi();
    ADOQuery1.apri();
    DatiReport d;
    d.aggiungi(QStringLiteral("frxDBDataset1"), ADOQuery1,
               {QStringLiteral("Codice"), QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("NData"),
                QStringLiteral("CodFisc"), QStringLiteral("Superficie"), QStringLiteral("Ruolo"),
                QStringLiteral("Differenza"), QStringLiteral("Dichiarabile"), QStringLiteral("Accertabile"),
                QStringLiteral("Presente")});
    d.adesso = adesso;
    return d;
}

namespace {
// The rows are read for one preparation and let go after it, however it ends.
struct ChiudiDopo {
    DataSet& ds;
    ~ChiudiDopo() { ds.chiudi(); }
};
}  // namespace

ReportPreparato ReportTabulato::prepara(const QDateTime& adesso)
{
    ChiudiDopo chiudi{ADOQuery1};
    return PreparaReport(frxReport1(), dati(adesso));
}

int ReportTabulato::prepara(const ConsegnaPagina& consegna, const QDateTime& adesso)
{
    ChiudiDopo chiudi{ADOQuery1};
    int pagine = 0;
    PreparaReport(frxReport1(), dati(adesso), [&](const ReportPreparato& r, const PaginaPreparata& p, int numero) {
        consegna(r, p, numero);
        pagine = numero;
    });
    return pagine;
}
