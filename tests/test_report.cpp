// The owner list report and the dossier summary over a small fixture
// database: golden dumps, the edge cases of both reports, and a PDF read
// back with poppler's pdftotext.
//
// The golden files in tests/golden/ are regenerated with
//   SORVEL_RIGENERA=1 build/tests/test_report --gtest_filter='Golden*'
// and the difference is read before it is committed.

#include "Ambiente.h"
#include "Golden.h"
#include "ConfrontoSuperfici.h"
#include "DossierSoggetto.h"
#include "Dump.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "Preparazione.h"
#include "ReportDossier.h"
#include "ReportElencoSoggetti.h"
#include "dmTabelle.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QDateTime adesso(QDate(2025, 3, 14), QTime(9, 5, 7));

// The fixture: the managing municipality Pesaro (G479) and its owners.
class Report : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
    }

    // Owner 7, ROSSI MARIO, born in Pesaro: unit 1 (60 m², listed twice for
    // him) with three addresses, unit 2 (41 m²) without addresses, unit 3
    // (30 m², an outcome code outside 1-4) with one; a unit in Rome. Owner 9,
    // a company without birth date or place, on a unit with no surface row.
    void dossier()
    {
        amb->sql(QStringLiteral(
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie, EsitoSup) VALUES "
            "('G479', '', 1, 1, 'A02', 60, '1'), ('G479', '', 2, 1, 'C06', 41, '3'), ('G479', '', 3, 1, 'A03', 30, '9'),"
            "('H501', '', 4, 1, 'A02', 500, '1');"
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
            "Cognome, Nome, NData, NLuogo, CodFisc) VALUES "
            "('G479', '', 1, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'G479', 'RSSMRA50B01G479X'),"
            "('G479', '', 1, 1, 2, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'G479', 'RSSMRA50B01G479X'),"
            "('G479', '', 2, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'G479', 'RSSMRA50B01G479X'),"
            "('G479', '', 3, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'G479', 'RSSMRA50B01G479X'),"
            "('H501', '', 4, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'G479', 'RSSMRA50B01G479X'),"
            "('G479', '', 50, 1, 1, 'G', 9, 'EDILIZIA ADRIATICA S.R.L.', NULL, NULL, NULL, NULL, '01234567890');"
            "INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Toponimo, Denominazione, Civico1) VALUES "
            "('G479', '', 1, 1, 1, 'VIA', 'GIOACCHINO ROSSINI', '0012'),"
            "('G479', '', 1, 1, 2, 'VIA', 'GIOACCHINO ROSSINI', '12/A'),"
            "('G479', '', 1, 1, 3, 'PIAZZA', 'DEL POPOLO', ''),"
            "('G479', '', 3, 1, 1, 'STRADA', 'DEI CACCIATORI', ' 7 ');"
            "INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio, Numero, Subalterno) VALUES "
            "('G479', '', 1, 1, 1, '12', '345', '6'), ('G479', '', 1, 1, 2, '12', '346', '1'), ('G479', '', 3, 1, 1, '3', '9', '')"));
        apri();
    }

    // 55 owners of Pesaro, among them a company, an accented name and a
    // name too long for its column; one owner of Rome.
    void elenco()
    {
        for (int i = 1; i <= 52; ++i)
            amb->soggetto(QStringLiteral("G479"), i, 100 + i, QStringLiteral("SOGGETTO %1").arg(i, 2, 10, QLatin1Char('0')),
                          QStringLiteral("ANNA"), QStringLiteral("SGGNNA%1").arg(i));
        amb->soggetto(QStringLiteral("G479"), 60, 160, QStringLiteral("D'ANGELO"), QStringLiteral("ÀNNA MARÌA"),
                      QStringLiteral("DNGNMR70A41H501Z"));
        amb->soggetto(QStringLiteral("G479"), 61, 161,
                      QStringLiteral("CONSORZIO DI BONIFICA DELLE MARCHE SETTENTRIONALI E DEL"), QStringLiteral("MONTEFELTRO"),
                      QStringLiteral("02345678901"));
        amb->soggetto(QStringLiteral("H501"), 62, 162, QStringLiteral("ROMANO"), QStringLiteral("ROMOLO"), QStringLiteral("RMNRML"));
        amb->sql(QStringLiteral("INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, "
                                "Denominazione, CodFisc) VALUES ('G479', '', 63, 1, 1, 'G', 163, 'ADRIATICA S.P.A.', "
                                "'01234567890')"));
        apri();
    }

    void apri()
    {
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        lista = std::make_unique<Query>(dati->ADOConnection1, QStringLiteral("ADOQuery1"));
        ElencoSoggetti::apri(*lista, *dati);
    }

    // The dossier summary as "Prospetto" prints it, with `ruolo` in the
    // hand-off mode, without it as a normal start.
    ReportPreparato prospetto(qint64 soggetto, std::optional<qint32> ruolo = std::nullopt)
    {
        fascicolo = std::make_unique<DossierSoggetto>(*dati);
        fascicolo->apri(soggetto);
        confronto = fascicolo->confronta(soggetto, ruolo.value_or(0));
        report = std::make_unique<ReportDossier>(*dati);
        return report->prepara(*fascicolo, soggetto, ruolo ? QStringLiteral("S") : QString(), confronto, adesso);
    }

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<Query> lista;
    std::unique_ptr<DossierSoggetto> fascicolo;
    std::unique_ptr<ReportDossier> report;
    Confronto confronto;
};

// --- golden dumps ------------------------------------------------------------------------

using Golden = Report;

TEST_F(Golden, ElencoSoggetti)
{
    elenco();
    confrontaConRiferimento(QStringLiteral("elenco_soggetti.txt"), DumpReport(ReportElencoSoggetti::prepara(*lista, adesso)));
}

TEST_F(Golden, ProspettoInModalitaS)
{
    dossier();
    confrontaConRiferimento(QStringLiteral("prospetto_ruolo.txt"), DumpReport(prospetto(7, 200)));
}

TEST_F(Golden, ProspettoSenzaUnita)
{
    dossier();
    confrontaConRiferimento(QStringLiteral("prospetto_senza_unita.txt"), DumpReport(prospetto(9)));
}

// --- the owner list report ---------------------------------------------------------------------

TEST_F(Report, ElencoVuotoDaTitoloTestataEPiede)
{
    apri();
    const ReportPreparato r = ReportElencoSoggetti::prepara(*lista, adesso);
    ASSERT_EQ(r.numeroPagine(), 1);
    EXPECT_EQ(testi(r, 0), (QStringList{QStringLiteral("Elenco soggetti"), QStringLiteral("Denominazione"),
                                        QStringLiteral("Data nascita"), QStringLiteral("Comune di nascita"),
                                        QStringLiteral("Codice Fiscale"), QStringLiteral("14/03/2025 09:05:07"),
                                        QStringLiteral("Pag. 1")}));
}

TEST_F(Report, ElencoDallaPrimaRigaDopoUnaRicerca)
{
    elenco();
    ASSERT_TRUE(lista->Locate(QStringLiteral("Denominazione"), {QStringLiteral("SOGGETTO 30")},
                              {.ignoraMaiuscole = true, .chiaveParziale = true}));
    const int riga = lista->rigaCorrente();
    const ReportPreparato r = ReportElencoSoggetti::prepara(*lista, adesso);
    ASSERT_EQ(r.numeroPagine(), 2);
    const QStringList p1 = testi(r, 0), p2 = testi(r, 1);
    // the list's order, from its first row; Rome's owner is not in it
    EXPECT_EQ(p1.mid(5, 4), (QStringList{QStringLiteral("ADRIATICA S.P.A."), QString(), QString(),
                                         QStringLiteral("01234567890")}));
    EXPECT_EQ(p1.value(9), QStringLiteral("CONSORZIO DI BONIFICA DELLE"));  // a long name keeps its first line
    EXPECT_FALSE((p1 + p2).contains(QStringLiteral("ROMANO ROMOLO")));
    EXPECT_TRUE(p2.contains(QStringLiteral("SOGGETTO 52 ANNA")));
    EXPECT_EQ(p2.mid(0, 4), p1.mid(1, 4));  // the headings on every page
    EXPECT_EQ(p1.last(), QStringLiteral("Pag. 1"));
    EXPECT_EQ(p2.last(), QStringLiteral("Pag. 2"));
    EXPECT_EQ(lista->rigaCorrente(), riga);  // the grid stays where the search left it
    EXPECT_TRUE(lista->aperto());
}

TEST_F(Report, PdfConTestoVeroECaratteriIncorporati)
{
    elenco();
    const QString pdf = amb->dir.filePath(QStringLiteral("elenco.pdf"));
    ScriviPdf(ReportElencoSoggetti::prepara(*lista, adesso), pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000)) << "pdftotext (poppler-utils) non disponibile";
    ASSERT_EQ(p.exitCode(), 0);
    const QString testo = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* atteso : {"Elenco soggetti", "Denominazione", "Data nascita", "Comune di nascita", "Codice Fiscale",
                               "D'ANGELO ÀNNA MARÌA", "ROMA", "DNGNMR70A41H501Z", "02/01/1970", "Pag. 1", "Pag. 2",
                               "14/03/2025 09:05:07"})
        EXPECT_TRUE(testo.contains(QString::fromUtf8(atteso))) << atteso;
    // the page break: the second page starts with the headings again
    const QStringList pagine = testo.split(QLatin1Char('\f'));
    ASSERT_GE(pagine.size(), 2);
    EXPECT_TRUE(pagine[1].trimmed().startsWith(QStringLiteral("Denominazione")));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("/FontFile2"));  // the font travels with the file
}

// --- the dossier summary -------------------------------------------------------------------------

TEST_F(Report, ProspettoInModalitaS)
{
    dossier();
    const ReportPreparato r = prospetto(7, 200);
    ASSERT_EQ(r.numeroPagine(), 1);
    const QStringList t = testi(r, 0);
    EXPECT_EQ(t.mid(0, 4), (QStringList{QStringLiteral("STAMPA DOCUMENTAZIONE UNITA' IMMOBILIARI RELATIVE A:"),
                                        QStringLiteral("ROSSI MARIO"), QStringLiteral("RSSMRA50B01G479X"),
                                        QStringLiteral("COMUNE DI NASCITA: PESARO DATA NASCITA: 01/02/1950")}));
    // three address lines: 0012 prints 12, 12/A and an empty number print none
    EXPECT_TRUE(t.contains(QStringLiteral("VIA GIOACCHINO ROSSINI 12")));
    EXPECT_EQ(t.count(QStringLiteral("VIA GIOACCHINO ROSSINI")), 1);
    EXPECT_TRUE(t.contains(QStringLiteral("PIAZZA DEL POPOLO")));
    EXPECT_TRUE(t.contains(QStringLiteral("STRADA DEI CACCIATORI 7")));
    // unit 2 has no address and prints its category, surface and outcome; unit 3's outcome 9 prints nothing
    const qsizetype u2 = t.indexOf(QStringLiteral("C06"));
    ASSERT_GE(u2, 0);
    EXPECT_EQ(t.mid(u2, 3), (QStringList{QStringLiteral("C06"), QStringLiteral("41"),
                                     QStringLiteral("Superficie in corso di definizione")}));
    const qsizetype u3 = t.indexOf(QStringLiteral("A03"));
    EXPECT_EQ(t.value(u3 + 2), QString());
    // the total equals the window's Totale: unit 1 counts once, Rome's unit not at all
    EXPECT_EQ(confronto.totaleTesto, QStringLiteral("131"));
    const qsizetype tot = t.indexOf(QStringLiteral("Superficie catastale (calcolata):"));
    EXPECT_EQ(t.mid(tot, 10),
              (QStringList{QStringLiteral("Superficie catastale (calcolata):"), QStringLiteral("131"),
                           QStringLiteral("Superficie dichiarata (a ruolo):"), QStringLiteral("200"),
                           QStringLiteral("Differenza:"), QStringLiteral("-69"),
                           QStringLiteral("Superficie di riferimento (80%):"), QStringLiteral("105"),
                           QStringLiteral("Maggiore superficie accertabile:"), QStringLiteral("-95")}));
}

TEST_F(Report, ProspettoFuoriModalitaSoloLaSuperficieCatastale)
{
    dossier();
    const ReportPreparato r = prospetto(7);
    const QStringList t = testi(r, 0);
    const qsizetype tot = t.indexOf(QStringLiteral("Superficie catastale (calcolata):"));
    EXPECT_EQ(t.mid(tot), (QStringList{QStringLiteral("Superficie catastale (calcolata):"), QStringLiteral("131")}));
    bool regola = false;  // the rule between the comparison lines is hidden with them
    for (const Primitiva& x : r.pagine[0].primitive)
        if (const auto* l = std::get_if<LineaPreparata>(&x))
            regola = regola || (std::abs(l->da.x() - 57) < 1e-6 && std::abs(l->a.x() - 121) < 1e-6);
    EXPECT_FALSE(regola);
}

TEST_F(Report, ProspettoDiUnSoggettoSenzaUnita)
{
    dossier();
    // owner 9: no units, no birth date, no birthplace; in the hand-off mode the window's lines
    const QStringList t = testi(prospetto(9, 12), 0);
    EXPECT_EQ(t, (QStringList{QStringLiteral("STAMPA DOCUMENTAZIONE UNITA' IMMOBILIARI RELATIVE A:"),
                              QStringLiteral("EDILIZIA ADRIATICA S.R.L."), QStringLiteral("01234567890"), QString(),
                              QStringLiteral("Superficie catastale (calcolata):"), QStringLiteral("0"),
                              QStringLiteral("Superficie dichiarata (a ruolo):"), QStringLiteral("12"),
                              QStringLiteral("Differenza:"), QStringLiteral("-12"),
                              QStringLiteral("Superficie di riferimento (80%):"), QStringLiteral("0"),
                              QStringLiteral("Maggiore superficie accertabile:"), QStringLiteral("-12")}));
    // an owner unknown to the municipality: an empty header, not an error
    EXPECT_EQ(testi(prospetto(12345), 0).value(1), QString());
}

TEST_F(Report, ProspettoRimetteLElencoDelleUnitaAlSuoPosto)
{
    dossier();
    fascicolo = std::make_unique<DossierSoggetto>(*dati);
    fascicolo->apri(7);
    fascicolo->ADOQuery4.vaiA(2);  // unit 3
    ReportDossier r(*dati);
    r.prepara(*fascicolo, 7, QString(), fascicolo->confronta(7, 0), adesso);
    EXPECT_EQ(fascicolo->ADOQuery4.intero(u"Immobile"), 3);
    // the detail lists follow the unit put back
    EXPECT_EQ(fascicolo->ADOQuery2.testo(u"Denominazione"), QStringLiteral("DEI CACCIATORI"));
    EXPECT_EQ(fascicolo->ADOQuery1.testo(u"Numero"), QStringLiteral("9"));
}

TEST(NumCiv, SoloINumeriInteri)
{
    const std::pair<const char*, QVariant> casi[] = {{"0012", qint64(12)}, {" 7 ", qint64(7)}, {"12/A", QVariant()},
                                                     {"", QVariant()},      {"A", QVariant()},  {"-3", qint64(-3)}};
    for (const auto& [civico, atteso] : casi)
        EXPECT_EQ(ReportDossier::NumCiv(QString::fromLatin1(civico)), atteso) << civico;
    EXPECT_EQ(ReportDossier::NumCiv(QVariant()), QVariant());
}

// A detail band under a master band follows it through the master/detail link.
TEST_F(Report, BandaDiDettaglioSegueLaSuaPrincipale)
{
    dossier();
    DossierSoggetto d(*dati);
    d.apri(7);
    ModelloReport m;
    m.nome = QStringLiteral("dettaglio");
    Banda& u = m.aggiungi(TipoBanda::Dati, QStringLiteral("Unita"), 5);
    u.dati = QStringLiteral("u");
    u.elementi.push_back(Elemento::Testo(QStringLiteral("U"), 0, 0, 50, 5, QStringLiteral("U[u.\"Immobile\"]")));
    Banda& i = m.aggiungi(TipoBanda::Dettaglio, QStringLiteral("Identificativi"), 5);
    i.dati = QStringLiteral("i");
    i.padre = QStringLiteral("Unita");
    i.elementi.push_back(Elemento::Testo(QStringLiteral("I"), 0, 0, 50, 5, QStringLiteral("[i.\"Foglio\"]/[i.\"Numero\"]")));
    Banda& f = m.aggiungi(TipoBanda::PiedeDati, QStringLiteral("Chiusura"), 2);
    f.padre = QStringLiteral("Identificativi");
    f.ancheSenzaRighe = true;  // every unit closes, with or without identifiers
    f.elementi.push_back(Elemento::Testo(QStringLiteral("F"), 0, 0, 50, 2, QStringLiteral("-")));
    DatiReport dr;
    dr.aggiungi(QStringLiteral("u"), d.ADOQuery4);
    dr.aggiungi(QStringLiteral("i"), d.ADOQuery1);
    EXPECT_EQ(testi(PreparaReport(m, dr), 0),
              (QStringList{QStringLiteral("U1"), QStringLiteral("12/345"), QStringLiteral("12/346"), QStringLiteral("-"),
                           QStringLiteral("U2"), QStringLiteral("-"), QStringLiteral("U3"), QStringLiteral("3/9"),
                           QStringLiteral("-")}));
}

}  // namespace
