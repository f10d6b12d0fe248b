#include "ReportDossier.h"

#include "DossierSoggetto.h"
#include "Preparazione.h"
#include "dmTabelle.h"

#include <limits>

ReportDossier::ReportDossier(TdTabelle& d) : ADOQuery5(d.ADOConnection1, QStringLiteral("ADOQuery5")), dati_(d)
{
    ADOQuery5.sql = {
        QStringLiteral("SELECT DISTINCT tUnImm5_6.Denominazione AS Persona, tUnImm5_6.NData, tComuni.Nome AS NComune, "
                       "tUnImm5_6.CodFisc "),
        QStringLiteral("FROM tUnImm5_6"),
        QStringLiteral("LEFT JOIN tComuni ON (tUnImm5_6.NLuogo = tComuni.CodiceCat)"),
        QStringLiteral("WHERE tUnImm5_6.Codice = :Codice"),
        QStringLiteral("     AND tUnImm5_6.Soggetto = :Soggetto"),
    };
}

QVariant ReportDossier::NumCiv(const QVariant& civico)
{
    const auto n = Conversione::intero(civico.toString().trimmed());
    if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
        return QVariant();
    return QVariant(*n);
}

ModelloReport ReportDossier::modello()
{
    ModelloReport m;
    m.nome = QStringLiteral("Prospetto");  // A4 portrait, 10 mm margins: bands 190 mm wide
    m.variabili = {QStringLiteral("Parametro"), QStringLiteral("Ruolo"), QStringLiteral("Differenza"),
                   QStringLiteral("Dichiarabile"), QStringLiteral("Accertabile"), QStringLiteral("NumCiv")};
    auto testo = [](const char* nome, double x, double y, double w, double h, const QString& t) {
        return Elemento::Testo(QLatin1String(nome), x, y, w, h, t);
    };

    Banda& testa = m.aggiungi(TipoBanda::IntestazionePagina, QStringLiteral("PageHeader1"), 32);
    testa.elementi.push_back(
        testo("Memo1", 0, 2, 190, 6, QStringLiteral("STAMPA DOCUMENTAZIONE UNITA' IMMOBILIARI RELATIVE A:")).conCarattere(12));
    testa.elementi.push_back(testo("Memo2", 0, 11, 148, 5, QStringLiteral("[frxDBSoggetto.\"Persona\"]")).conCarattere(10, true));
    testa.elementi.push_back(testo("Memo3", 151, 11, 37, 5, QStringLiteral("[frxDBSoggetto.\"CodFisc\"]")).conCarattere(10, true));
    // A birth date that is not set formats as day zero, 30/12/1899.
    testa.elementi.push_back(
        testo("Memo4", 0, 16, 148, 5,
              QStringLiteral("[IIF(<frxDBSoggetto.\"NComune\"> <> '', 'COMUNE DI NASCITA:', '')] [frxDBSoggetto.\"NComune\"] "
                             "[IIF(DateToStr(<frxDBSoggetto.\"NData\">) <> '30/12/1899', "
                             "'DATA NASCITA: ' + DateToStr(<frxDBSoggetto.\"NData\">), '')]"))
            .conCarattere(10, true));

    Banda& colonne = m.aggiungi(TipoBanda::IntestazioneColonne, QStringLiteral("Header1"), 8);
    colonne.padre = QStringLiteral("MasterData1");
    colonne.elementi.push_back(testo("Memo5", 0, 1, 60, 5, QStringLiteral("INDIRIZZO")));
    colonne.elementi.push_back(testo("Memo6", 82, 1, 11, 5, QStringLiteral("CAT.")).allinea(Orizzontale::Centro));
    colonne.elementi.push_back(testo("Memo7", 95, 1, 15, 5, QStringLiteral("SUPER.")).allinea(Orizzontale::Destra));
    colonne.elementi.push_back(testo("Memo8", 112, 1, 77, 5, QStringLiteral("ESITO")));
    colonne.elementi.push_back(Elemento::Linea(QStringLiteral("Line1"), 0, 7, 190, 7));

    Banda& unita = m.aggiungi(TipoBanda::Dati, QStringLiteral("MasterData1"), 7);
    unita.dati = QStringLiteral("frxDBSuperficie");
    unita.estendibile = true;  // as tall as the unit's address lines
    unita.elementi.push_back(Elemento::SottoReport(QStringLiteral("Subreport1"), 0, 1, 80, QStringLiteral("Indirizzi")));
    unita.elementi.push_back(
        testo("Memo9", 82, 1, 11, 5, QStringLiteral("[frxDBSuperficie.\"Categoria\"]")).allinea(Orizzontale::Centro));
    unita.elementi.push_back(
        testo("Memo10", 95, 1, 15, 5, QStringLiteral("[frxDBSuperficie.\"Superficie\"]")).allinea(Orizzontale::Destra));
    unita.elementi.push_back(testo("Memo11", 112, 1, 77, 5, QStringLiteral("[frxDBSuperficie.\"Esito\"]")));

    Banda& riepilogo = m.aggiungi(TipoBanda::RiepilogoReport, QStringLiteral("ReportSummary1"), 36);
    riepilogo.elementi.push_back(Elemento::Linea(QStringLiteral("Line2"), 0, 0, 190, 0));
    auto riga = [&](const char* didascalia, const char* valore, double y, const QString& titolo, const QString& espr,
                    bool sottolineato = false) {
        riepilogo.elementi.push_back(
            testo(didascalia, 0, y, 94, 5, titolo).conCarattere(10, true, false, sottolineato).allinea(Orizzontale::Destra));
        riepilogo.elementi.push_back(
            testo(valore, 95, y, 15, 5, espr).conCarattere(10, false, false, sottolineato).allinea(Orizzontale::Destra));
    };
    riga("Memo12", "Memo13", 2, QStringLiteral("Superficie catastale (calcolata):"),
         QStringLiteral("[SUM(<frxDBSuperficie.\"Superficie\">,MasterData1)]"));
    riga("Memo14", "Memo15", 8, QStringLiteral("Superficie dichiarata (a ruolo):"), QStringLiteral("[Ruolo]"));
    riepilogo.elementi.push_back(Elemento::Linea(QStringLiteral("Line3"), 47, 14, 111, 14));
    riga("Memo16", "Memo17", 15, QStringLiteral("Differenza:"), QStringLiteral("[Differenza]"));
    riga("Memo18", "Memo19", 23, QStringLiteral("Superficie di riferimento (80%):"), QStringLiteral("[Dichiarabile]"));
    riga("Memo20", "Memo21", 29, QStringLiteral("Maggiore superficie accertabile:"), QStringLiteral("[Accertabile]"), true);
    riepilogo.primaDellaStampa = [](ScriptReport& s) {  // ReportSummary1OnBeforePrint
        const bool ruolo = s.variabile(QStringLiteral("Parametro")).toString() == QLatin1String("S");
        for (const char* e : {"Memo14", "Memo15", "Line3", "Memo16", "Memo17", "Memo18", "Memo19", "Memo20", "Memo21"})
            s.mostra(QLatin1String(e), ruolo);
    };

    // The address sub-report, printed inside each unit's band.
    Banda indirizzo;
    indirizzo.tipo = TipoBanda::Dati;
    indirizzo.nome = QStringLiteral("MasterData2");
    indirizzo.altezza = 6;
    indirizzo.dati = QStringLiteral("frxDBIndirizzi");
    indirizzo.elementi.push_back(
        testo("Memo22", 0, 0, 80, 5,
              QStringLiteral("[frxDBIndirizzi.\"Toponimo\"] [frxDBIndirizzi.\"Denominazione\"] [NumCiv]"))
            .dalTesto());
    indirizzo.primaDellaStampa = [](ScriptReport& s) {  // MasterData2OnBeforePrint
        s.impostaVariabile(QStringLiteral("NumCiv"),
                           NumCiv(s.campo(QStringLiteral("frxDBIndirizzi"), QStringLiteral("Civico1"))));
    };
    m.sottoReport[QStringLiteral("Indirizzi")] = {indirizzo};
    return m;
}

ReportPreparato ReportDossier::prepara(DossierSoggetto& dossier, qint64 soggetto, const QString& parametro,
                                       const Confronto& figure, const QDateTime& adesso)
{
    ADOQuery5.chiudi();
    ADOQuery5.primaDellApertura = [this, soggetto](DataSet&) {
        ADOQuery5.parametri[QStringLiteral("Codice")] = dati_.codiceGestione();
        ADOQuery5.parametri[QStringLiteral("Soggetto")] = soggetto;
    };
    ADOQuery5.apri();

    DatiReport d;
    d.aggiungi(QStringLiteral("frxDBSoggetto"), ADOQuery5);
    d.aggiungi(QStringLiteral("frxDBSuperficie"), dossier.ADOQuery4);
    d.aggiungi(QStringLiteral("frxDBIndirizzi"), dossier.ADOQuery2);
    d.quieti = {&dossier.ADOQuery1, &dossier.ADOQuery3};
    d.variabili = {{QStringLiteral("Parametro"), parametro},
                   {QStringLiteral("Ruolo"), figure.ruolo},
                   {QStringLiteral("Differenza"), figure.differenza},
                   {QStringLiteral("Dichiarabile"), figure.dichiarabile},
                   {QStringLiteral("Accertabile"), figure.accertabile}};
    d.adesso = adesso;
    return PreparaReport(modello(), d);
}
