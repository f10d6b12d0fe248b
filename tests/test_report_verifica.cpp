// The control listing and the taxpayer letters over a small roll loaded by
// the real roll load: golden dumps, the edge cases of both reports, who gets
// a letter, the spreadsheet read back with openpyxl and the PDF files read
// back with pdftotext.

#include "Ambiente.h"
#include "CaricaRuolo.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "EsportatoreXlsx.h"
#include "Golden.h"
#include "LettereDivise.h"
#include "ReportLettere.h"
#include "ReportTabulato.h"
#include "dmTabelle.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QDateTime adesso(QDate(2025, 3, 14), QTime(9, 5, 7));

// A roll line of 198 columns.
QString riga(int codice, const QString& cognome, const QString& nome, const QString& nData, const QString& codFisc,
             const QString& ruolo, const QString& indirizzo)
{
    return QString::number(codice).rightJustified(6) + cognome.leftJustified(30) + nome.leftJustified(30) +
           nData.leftJustified(10) + codFisc.leftJustified(16) + ruolo.rightJustified(6) + indirizzo.leftJustified(50) +
           QStringLiteral("61121 PESARO").leftJustified(50);
}

QString esegui(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("<%1 non riuscito: %2>").arg(programma, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF file as pdftotext reads it, blanks and line breaks folded to one blank.
QString testoPdf(const QString& file)
{
    return esegui(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}).simplified();
}

// The pages of a prepared report as one text, pages separated by " | ".
QString tutto(const ReportPreparato& r)
{
    QStringList p;
    for (int i = 0; i < r.numeroPagine(); ++i)
        p.append(testi(r, i).join(QLatin1Char(' ')));
    return p.join(QStringLiteral(" | "));
}

const TestoPreparato* cerca(const ReportPreparato& r, int pagina, const QString& testo)
{
    for (const Primitiva& x : r.pagine[size_t(pagina)].primitive)
        if (const auto* t = std::get_if<TestoPreparato>(&x); t && t->stampato() == testo)
            return t;
    return nullptr;
}

// Pesaro (G479) manages; owners and the roll:
//   7 ROSSI MARIO 01/02/1950: units 1 and 2 of 62 m² (listed twice on unit 1);
//     unit 1 has two identifiers and the house number 0012, unit 2 has 12/A;
//     roll 70 m²: 124, 54, 99, 29
//   8 BIANCHI ANNA 03/04/1960: unit 3 of 30 m²; roll 33: accertabile -9
//   9 VERDI ADA 05/06/1970: unit 4 of 100 m²; the roll names her VERDI ADELE,
//     found by tax code: accertabile 30
//  10 EDILIZIA ADRIATICA S.R.L., no birth date: unit 5 of 200 m²; roll 100: 60
//  11 and 12 NERI LUCA, born 1980 and 1990: units 21, 23 and 22, 24; roll 10 each
//  51 ROSSI MARIO 01/02/1950 of Rome (H501), unit 1 of Rome (the number of
//     ROSSI's unit 1) with its own identifier and address
// and two roll rows found nowhere, one without a birth date.
class ReportRuolo : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        amb->sql(QStringLiteral("UPDATE tParametri SET Nome = 'PESARO', Provincia = 'PESARO E URBINO', CodFis = "
                                "'00272430414', Indirizzo = 'PIAZZA DEL POPOLO, 1', Telefono = '0721 3871', Fax = "
                                "'0721 3872', Firma = 'Dott. Paolo Bianchi'"));
        const struct {
            const char* codice;
            int immobile, soggetto;
            const char *cognome, *nome, *codFisc, *nData;
        } proprietari[] = {
            {"G479", 1, 7, "ROSSI", "MARIO", "RSSMRA50B01G479X", "1950-02-01"},
            {"G479", 1, 7, "ROSSI", "MARIO", "RSSMRA50B01G479X", "1950-02-01"},
            {"G479", 2, 7, "ROSSI", "MARIO", "RSSMRA50B01G479X", "1950-02-01"},
            {"G479", 3, 8, "BIANCHI", "ANNA", "BNCNNA60D43G479Z", "1960-04-03"},
            {"G479", 4, 9, "VERDI", "ADA", "VRDDAA70H45G479K", "1970-06-05"},
            {"G479", 21, 11, "NERI", "LUCA", "NREL80", "1980-01-01"},
            {"G479", 22, 12, "NERI", "LUCA", "NREL90", "1990-01-01"},
            {"G479", 23, 11, "NERI", "LUCA", "NREL80", "1980-01-01"},
            {"G479", 24, 12, "NERI", "LUCA", "NREL90", "1990-01-01"},
            {"H501", 1, 51, "ROSSI", "MARIO", "RSSMRA50B01H501Q", "1950-02-01"},
        };
        for (const auto& p : proprietari)
            amb->soggetto(QString::fromLatin1(p.codice), p.immobile, p.soggetto, QString::fromLatin1(p.cognome),
                          QString::fromLatin1(p.nome), QString::fromLatin1(p.codFisc), QString::fromLatin1(p.nData));
        amb->sql(QStringLiteral(
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, CodFisc) "
            "VALUES ('G479', '', 5, 1, 1, 'G', 10, 'EDILIZIA ADRIATICA S.R.L.', '01234567890');"
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
            "('G479', '', 1, 1, 62), ('G479', '', 2, 1, 62), ('G479', '', 3, 1, 30), ('G479', '', 4, 1, 100), "
            "('G479', '', 5, 1, 200), ('G479', '', 21, 1, 50), ('G479', '', 22, 1, 40), ('G479', '', 23, 1, 45), "
            "('G479', '', 24, 1, 35), ('H501', '', 1, 1, 500);"
            "INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio, Numero, Subalterno) VALUES "
            "('G479', '', 1, 1, 1, '12', '345', '6'), ('G479', '', 1, 1, 2, '12', '346', '1'), "
            "('G479', '', 2, 1, 1, '12', '400', ''), ('G479', '', 21, 1, 1, '5', '10', '1'), "
            "('G479', '', 22, 1, 1, '5', '10', '2'), ('G479', '', 23, 1, 1, '5', '11', ''), "
            "('G479', '', 24, 1, 1, '5', '12', ''), ('H501', '', 1, 1, 1, '99', '999', '9');"
            "INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Toponimo, Denominazione, Civico1) VALUES "
            "('G479', '', 1, 1, 1, 'VIA', 'GIOACCHINO ROSSINI', '0012'), ('G479', '', 1, 1, 2, 'PIAZZA', 'DEL POPOLO', '3'), "
            "('G479', '', 2, 1, 1, 'VIA', 'GIOACCHINO ROSSINI', '12/A'), ('G479', '', 21, 1, 1, 'VIA', 'ROMA', '5'), "
            "('G479', '', 22, 1, 1, 'VIA', 'ROMA', '7'), ('G479', '', 23, 1, 1, 'VIA', 'ROMA', ' 9 '), "
            "('G479', '', 24, 1, 1, 'VIA', 'ROMA', ''), ('H501', '', 1, 1, 1, 'VIA', 'APPIA', '1')"));
        apri();
    }

    void apri()
    {
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        elenco = std::make_unique<Query>(dati->ADOConnection1, QStringLiteral("ADOQuery1"));
        ElencoSoggetti::apri(*elenco, *dati);
    }

    void carica(const QStringList& righe)
    {
        ScriviFileTesto(QStringLiteral("rsutot.txt"), righe.isEmpty() ? QString() : righe.join(QStringLiteral("\r\n")) +
                                                                                        QStringLiteral("\r\n"));
        CaricaRuolo(*dati, *elenco, QStringLiteral("rsutot.txt"));
    }

    void ruolo()
    {
        carica({riga(1, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"),
                     QStringLiteral("RSSMRA50B01G479X"), QStringLiteral("70"), QStringLiteral("VIA GARIBALDI 3")),
                riga(2, QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960"),
                     QStringLiteral("BNCNNA60D43G479Z"), QStringLiteral("33"), QStringLiteral("VIA MAZZINI 8")),
                riga(3, QStringLiteral("VERDI"), QStringLiteral("ADELE"), QStringLiteral("05/06/1970"),
                     QStringLiteral("VRDDAA70H45G479K"), QStringLiteral("50"), QStringLiteral("VIA CAVOUR 1")),
                riga(4, QStringLiteral("EDILIZIA ADRIATICA S.R.L."), QString(), QString(), QStringLiteral("01234567890"),
                     QStringLiteral("100"), QStringLiteral("VIA DEL PORTO 3")),
                riga(5, QStringLiteral("NERI"), QStringLiteral("LUCA"), QStringLiteral("01/01/1980"),
                     QStringLiteral("NREL80"), QStringLiteral("10"), QStringLiteral("VIA LUNGA 1")),
                riga(6, QStringLiteral("NERI"), QStringLiteral("LUCA"), QStringLiteral("01/01/1990"),
                     QStringLiteral("NREL90"), QStringLiteral("10"), QStringLiteral("VIA LUNGA 2")),
                riga(7, QStringLiteral("ZANCHI"), QStringLiteral("ELSA"), QStringLiteral("09/09/1999"),
                     QStringLiteral("ZNCLSE99P49G479A"), QStringLiteral("70"), QStringLiteral("VIA TORINO 2")),
                riga(8, QStringLiteral("DELLA ROVERE"), QStringLiteral("GIULIA"), QString(), QString(),
                     QStringLiteral("40"), QStringLiteral("VIA DEI MILLE 1"))});
    }

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<Query> elenco;
};

// --- golden dumps ------------------------------------------------------------------------

using GoldenRuolo = ReportRuolo;

TEST_F(GoldenRuolo, Tabulato)
{
    ruolo();
    ReportTabulato t(*dati);
    confrontaConRiferimento(QStringLiteral("tabulato.txt"), DumpReport(t.prepara(adesso)));
}

TEST_F(GoldenRuolo, Lettere)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    confrontaConRiferimento(QStringLiteral("lettere.txt"), DumpReport(l.prepara(adesso)));
}

TEST_F(GoldenRuolo, LetteraSingola)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Singola);
    confrontaConRiferimento(QStringLiteral("lettera.txt"), DumpReport(l.preparaSingola(8, adesso)));
}

// --- the control listing ----------------------------------------------------------------------

TEST_F(ReportRuolo, TabulatoRigheOrdineEtotali)
{
    ruolo();
    ReportTabulato t(*dati);
    const ReportPreparato r = t.prepara(adesso);
    ASSERT_EQ(r.numeroPagine(), 1);
    const QStringList p = testi(r, 0);
    // one line per roll row: mark, name, birth date, tax code, five figures
    auto linea = [&](const QString& nome) { return p.mid(p.indexOf(nome) - 1, 9); };
    const QString vuoto;
    struct Caso {
        const char* perche;
        QString nome;
        QStringList attesa;
    } casi[] = {
        {"trovata: le cifre del confronto", QStringLiteral("ROSSI MARIO"),
         {vuoto, QStringLiteral("ROSSI MARIO"), QStringLiteral("01/02/1950"), QStringLiteral("RSSMRA50B01G479X"),
          QStringLiteral("124"), QStringLiteral("70"), QStringLiteral("54"), QStringLiteral("99"), QStringLiteral("29")}},
        {"accertabile -9 stampa 0", QStringLiteral("BIANCHI ANNA"),
         {vuoto, QStringLiteral("BIANCHI ANNA"), QStringLiteral("03/04/1960"), QStringLiteral("BNCNNA60D43G479Z"),
          QStringLiteral("30"), QStringLiteral("33"), QStringLiteral("-3"), QStringLiteral("24"), QStringLiteral("0")}},
        {"non trovata: il segno, figure vuote e 0", QStringLiteral("ZANCHI ELSA"),
         {QStringLiteral("*"), QStringLiteral("ZANCHI ELSA"), QStringLiteral("09/09/1999"),
          QStringLiteral("ZNCLSE99P49G479A"), vuoto, QStringLiteral("70"), vuoto, vuoto, QStringLiteral("0")}},
        {"senza data di nascita: cognome e nome uniti senza spazio", QStringLiteral("DELLA ROVEREGIULIA"),
         {QStringLiteral("*"), QStringLiteral("DELLA ROVEREGIULIA"), vuoto, vuoto, vuoto, QStringLiteral("40"), vuoto,
          vuoto, QStringLiteral("0")}},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(linea(c.nome), c.attesa) << c.perche;
    // the order of surname, first name, birth date
    QStringList nomi;
    for (const char* n : {"BIANCHI ANNA", "DELLA ROVEREGIULIA", "EDILIZIA ADRIATICA S.R.L.", "NERI LUCA", "ROSSI MARIO",
                          "VERDI ADELE", "ZANCHI ELSA"})
        nomi.append(QString::fromUtf8(n));
    QStringList ordine;
    for (const QString& x : p)
        if (nomi.contains(x))
            ordine.append(x);
    EXPECT_EQ(ordine, (QStringList{QStringLiteral("BIANCHI ANNA"), QStringLiteral("DELLA ROVEREGIULIA"),
                                   QStringLiteral("EDILIZIA ADRIATICA S.R.L."), QStringLiteral("NERI LUCA"),
                                   QStringLiteral("NERI LUCA"), QStringLiteral("ROSSI MARIO"), QStringLiteral("VERDI ADELE"),
                                   QStringLiteral("ZANCHI ELSA")}));
    const qsizetype neri = p.indexOf(QStringLiteral("NERI LUCA"));
    EXPECT_EQ(p.value(neri + 1), QStringLiteral("01/01/1980"));
    // the legend and the totals: the difference with its signs (54 - 3 + 50 +
    // 100 + 85 + 65); the last column adds what it prints (29 + 30 + 60 + 66
    // + 50, the -9 as 0)
    const qsizetype tot = p.indexOf(QStringLiteral("TOTALI:"));
    ASSERT_GE(tot, 2);
    EXPECT_EQ(p.mid(tot - 2, 5), (QStringList{QStringLiteral("*"), QStringLiteral("Soggetto non trovato nei dati catastali"),
                                          QStringLiteral("TOTALI:"), QStringLiteral("351"), QStringLiteral("235")}));
    EXPECT_FALSE(t.ADOQuery1.aperto());
}

TEST_F(ReportRuolo, TabulatoVuotoEdopoUnNuovoCaricamento)
{
    carica({riga(1, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"), QString(),
                 QStringLiteral("70"), QString())});
    ReportTabulato t(*dati);
    EXPECT_TRUE(tutto(t.prepara(adesso)).contains(QStringLiteral("ROSSI MARIO")));
    // emptied: title, column titles, legend, totals and footer
    amb->sql(QStringLiteral("DELETE FROM tRsuTot"));
    const ReportPreparato r = t.prepara(adesso);
    ASSERT_EQ(r.numeroPagine(), 1);
    QStringList p = testi(r, 0);
    p.replaceInStrings(QStringLiteral("\n"), QStringLiteral(" "));  // the column titles wrap in their boxes
    EXPECT_EQ(p, (QStringList{QStringLiteral("Tabulato di controllo dati metrici"),
                                        QStringLiteral("Denominazione"), QStringLiteral("Data nascita"),
                                        QStringLiteral("Codice fiscale"), QStringLiteral("Superficie catastale (calcolata)"),
                                        QStringLiteral("Superficie dichiarata (a ruolo)"), QStringLiteral("Differenza"),
                                        QStringLiteral("Superficie di riferimento (80%)"),
                                        QStringLiteral("Maggiore superficie accertabile"), QStringLiteral("*"),
                                        QStringLiteral("Soggetto non trovato nei dati catastali"), QStringLiteral("TOTALI:"),
                                        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("14/03/2025 09:05:07"),
                                        QStringLiteral("Pag. 1")}));
    // a new load shows at the next preparation
    ruolo();
    EXPECT_TRUE(tutto(t.prepara(adesso)).contains(QStringLiteral("ZANCHI ELSA")));
}

TEST_F(ReportRuolo, TabulatoNelFoglioDiCalcolo)
{
    ruolo();
    ReportTabulato t(*dati);
    const ReportPreparato r = t.prepara(adesso);
    const QString file = amb->dir.filePath(QStringLiteral("tabulato.xlsx"));
    int avanzamenti = 0;
    EsportatoreXlsx().esporta(r, file, TutteLePagine(r), [&](int, int) { return ++avanzamenti > 0; });
    EXPECT_EQ(avanzamenti, 1);
    const QStringList righe = esegui(QStringLiteral(SORVEL_PYTHON), {QStringLiteral(SORVEL_CELLE_XLSX), file})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(righe.isEmpty());
    EXPECT_EQ(righe.first(), QStringLiteral("fogli 1"));
    // cells by value: kind, value, bold, fill, number format
    QMap<QString, QStringList> celle;  // value -> every cell holding it
    QMap<QString, int> perRiga;        // row number -> cells with a value
    for (const QString& l : righe) {
        const QStringList c = l.split(QLatin1Char('\t'));
        if (c.size() == 6 && c[1] != QLatin1String("blank")) {
            celle[c[2]].append(l);
            perRiga[c[0].mid(c[0].indexOf(QRegularExpression(QStringLiteral("\\d"))))]++;
        }
    }
    auto cella = [&](const QString& valore) {
        const QStringList c = celle.value(valore).value(0).split(QLatin1Char('\t'));
        return c.mid(1);  // without the coordinate
    };
    EXPECT_EQ(cella(QStringLiteral("Tabulato di controllo dati metrici")),
              (QStringList{QStringLiteral("str"), QStringLiteral("Tabulato di controllo dati metrici"), QStringLiteral("1"),
                           QStringLiteral("D8D8D8"), QStringLiteral("General")}));
    EXPECT_EQ(cella(QStringLiteral("Codice fiscale")),
              (QStringList{QStringLiteral("str"), QStringLiteral("Codice fiscale"), QStringLiteral("1"),
                           QStringLiteral("F0F0F0"), QStringLiteral("General")}));
    EXPECT_EQ(cella(QStringLiteral("ROSSI MARIO")).mid(0, 4),
              (QStringList{QStringLiteral("str"), QStringLiteral("ROSSI MARIO"), QStringLiteral("0"), QStringLiteral("-")}));
    EXPECT_EQ(cella(QStringLiteral("1950-02-01")),
              (QStringList{QStringLiteral("date"), QStringLiteral("1950-02-01"), QStringLiteral("0"), QStringLiteral("-"),
                           QStringLiteral("dd/mm/yyyy")}));
    EXPECT_EQ(cella(QStringLiteral("124")), (QStringList{QStringLiteral("int"), QStringLiteral("124"), QStringLiteral("0"),
                                                         QStringLiteral("-"), QStringLiteral("0")}));
    EXPECT_EQ(cella(QStringLiteral("-3")).value(0), QStringLiteral("int"));
    EXPECT_EQ(cella(QStringLiteral("235")).value(0), QStringLiteral("int"));  // the total
    EXPECT_EQ(cella(QStringLiteral("*")).mid(0, 3), (QStringList{QStringLiteral("str"), QStringLiteral("*"), QStringLiteral("1")}));
    // the tax code keeps its text, not a number; the "0" set by the script is a number
    EXPECT_EQ(cella(QStringLiteral("01234567890")).value(0), QStringLiteral("str"));
    EXPECT_EQ(cella(QStringLiteral("0")).value(0), QStringLiteral("int"));
    // each roll row on a row of its own, with its nine printed values at most
    const QString rossi = celle.value(QStringLiteral("ROSSI MARIO")).value(0).section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(perRiga.value(rossi.mid(rossi.indexOf(QRegularExpression(QStringLiteral("\\d"))))), 8);  // no mark: found
    // the columns as wide as on the page: the tax code's 31 mm is the widest
    double massima = 0;
    QString colonnaMassima;
    for (const QString& l : righe)
        if (l.startsWith(QLatin1String("col "))) {
            const QStringList c = l.split(QLatin1Char(' '));
            if (c.value(2).toDouble() > massima) {
                massima = c.value(2).toDouble();
                colonnaMassima = c.value(1);
            }
        }
    EXPECT_TRUE(rossi.startsWith(QLatin1Char('C')));  // name column
    EXPECT_EQ(colonnaMassima, QStringLiteral("D"));   // 4-62 mm
}

// --- the letters ------------------------------------------------------------------------------

TEST_F(ReportRuolo, ChiRiceveUnaLettera)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    const ReportPreparato r = l.prepara(adesso);
    // positive greater assessable surface, an owner of Pesaro matched by name
    // and birth date: ROSSI (not his namesake of Rome), each NERI LUCA on
    // letters of their own; not BIANCHI (-9), VERDI (matched by tax code
    // only), the company, the taxpayers not found
    QStringList chi;
    for (const auto& x : l.lettere())
        chi.append(QStringLiteral("%1 %2 p%3").arg(x.contribuente.toString(), x.denominazione).arg(x.pagina));
    EXPECT_EQ(chi, (QStringList{QStringLiteral("5 NERI LUCA p1"), QStringLiteral("6 NERI LUCA p2"),
                                QStringLiteral("1 ROSSI MARIO p3")}));
    ASSERT_EQ(r.numeroPagine(), 3);
    // every letter on its own page with its heading, its own closing part and receipt
    for (int p = 0; p < 3; ++p) {
        const QStringList t = testi(r, p);
        EXPECT_EQ(t.count(QStringLiteral("TOTALI:")), 1) << p;
        EXPECT_EQ(t.count(QStringLiteral("IL MESSO COMUNALE")), 1) << p;
        EXPECT_EQ(t.value(0), QStringLiteral("COMUNE DI PESARO")) << p;
    }
    const QStringList neri80 = testi(r, 0), neri90 = testi(r, 1);
    EXPECT_TRUE(neri80.contains(QStringLiteral("VIA ROMA 5")) && neri80.contains(QStringLiteral("VIA ROMA 9")));
    EXPECT_FALSE(neri80.contains(QStringLiteral("VIA ROMA 7")));
    EXPECT_TRUE(neri90.contains(QStringLiteral("VIA ROMA 7")) && neri90.contains(QStringLiteral("VIA ROMA")));
    EXPECT_EQ(neri80[neri80.indexOf(QStringLiteral("Maggiore superficie accertabile:")) + 1], QStringLiteral("66"));
    EXPECT_EQ(neri90[neri90.indexOf(QStringLiteral("Maggiore superficie accertabile:")) + 1], QStringLiteral("50"));
    EXPECT_FALSE(l.AQSoggetto.aperto());
}

TEST_F(ReportRuolo, UnitaDellaLettera)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    const ReportPreparato r = l.prepara(adesso);
    const QStringList t = testi(r, 2);  // ROSSI MARIO
    EXPECT_EQ(t.mid(8, 3), (QStringList{QStringLiteral("ROSSI MARIO"), QStringLiteral("VIA GARIBALDI 3"),
                                        QStringLiteral("61121 PESARO")}));
    // two unit boxes, each with its identifier lines: 0012 prints 12, 12/A
    // no number, though the unit before had one; 62 m² is 50 each, the box 99
    const qsizetype u = t.indexOf(QStringLiteral("VIA GIOACCHINO ROSSINI 12"));
    ASSERT_GE(u, 0);
    EXPECT_EQ(t.mid(u, 12), (QStringList{QStringLiteral("VIA GIOACCHINO ROSSINI 12"), QStringLiteral("62"),
                                         QStringLiteral("50"), QStringLiteral("12"), QStringLiteral("345"),
                                         QStringLiteral("6"), QStringLiteral("12"), QStringLiteral("346"),
                                         QStringLiteral("1"), QStringLiteral("VIA GIOACCHINO ROSSINI"),
                                         QStringLiteral("62"), QStringLiteral("50")}));
    EXPECT_EQ(t.mid(u + 12, 3), (QStringList{QStringLiteral("12"), QStringLiteral("400"), QString()}));
    const qsizetype box = t.indexOf(QStringLiteral("Superficie di riferimento (80%):"));
    EXPECT_EQ(t.mid(box, 6), (QStringList{QStringLiteral("Superficie di riferimento (80%):"), QStringLiteral("99"),
                                          QStringLiteral("Superficie dichiarata (a ruolo):"), QStringLiteral("70"),
                                          QStringLiteral("Maggiore superficie accertabile:"), QStringLiteral("29")}));
    // the unit's own details: nothing of Rome's unit 1
    for (const char* roma : {"VIA APPIA 1", "999", "500"})
        EXPECT_FALSE(t.contains(QString::fromLatin1(roma))) << roma;
    // every unit closes its box: one closing rule (0 to 190 mm, 1 mm under its
    // top) per unit, and the second unit's rule lies under its identifier
    int chiusure = 0;
    for (const Primitiva& x : r.pagine[2].primitive)
        if (const auto* ln = std::get_if<LineaPreparata>(&x))
            if (ln->stile == StileLinea::Continua && ln->da.y() == ln->a.y() && std::abs(ln->da.x() - 10) < 1e-6 &&
                std::abs(ln->a.x() - 200) < 1e-6)
                ++chiusure;
    EXPECT_EQ(chiusure, 2 /* unit tops */ + 2 /* closing rules */ + 1 /* the heading's thick rule */);
}

TEST_F(ReportRuolo, IlTestoDellaLetteraStampatoPerIntero)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    const ReportPreparato r = l.prepara(adesso);
    // the body prints all its lines: its box grew past its 33 mm and what
    // lies below it moved down, so nothing overlaps
    const TestoPreparato* corpo = nullptr;
    for (const Primitiva& x : r.pagine[0].primitive)
        if (const auto* t = std::get_if<TestoPreparato>(&x); t && t->testo.startsWith(QLatin1String("Egregio")))
            corpo = t;
    ASSERT_TRUE(corpo);
    EXPECT_EQ(corpo->stampato().remove(QLatin1Char('\n')).remove(QLatin1Char(' ')),
              QString(corpo->testo).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')));
    EXPECT_GE(corpo->riquadro.height(), 33);
    for (const auto& riga : corpo->righe)
        EXPECT_LE(riga.linea, corpo->riquadro.bottom());
    const TestoPreparato* prospetto = cerca(r, 0, QStringLiteral("PROSPETTO:"));
    ASSERT_TRUE(prospetto);
    EXPECT_GE(prospetto->riquadro.top(), corpo->riquadro.bottom() - 1e-6);
    EXPECT_NEAR(prospetto->riquadro.top() - corpo->riquadro.bottom(), 105 - (71 + 33), 1e-6);  // the designed gap
    // the figures start under the grown heading, the table head just above them
    const TestoPreparato* testa = cerca(r, 0, QStringLiteral("Indirizzo di ubicazione"));
    ASSERT_TRUE(testa);
    EXPECT_LT(testa->riquadro.bottom(), cerca(r, 0, QStringLiteral("VIA ROMA 5"))->riquadro.top() + 1e-6);
}

TEST_F(ReportRuolo, TestiDellaLetteraInPdf)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    const QString pdf = amb->dir.filePath(QStringLiteral("lettere.pdf"));
    ScriviPdf(l.prepara(adesso), pdf);
    const QString t = testoPdf(pdf);
    for (const char* atteso :
         {"COMUNE DI PESARO", "(Provincia di PESARO E URBINO)", "CAP: 61100 - PIAZZA DEL POPOLO, 1", "C.F. 00272430414",
          "Tel. 0721 3871", "Fax. 0721 3872", "UFFICIO TRIBUTI", "Prot. n°__________",
          "TASSA RIFIUTI SOLIDI URBANI - COMUNICAZIONE NUOVA SUPERFICIE DI RIFERIMENTO (Art. 1, comma 340, Legge "
          "311/2004).",
          "Egregio Contribuente, L'art. 1 comma 340, Legge 311/2004 stabilisce che, a decorrere dal 01/01/2005, la "
          "superficie di riferimento su cui calcolare la Tassa Rifiuti Solidi Urbani (TARSU), per le unità immobiliari di "
          "proprietà privata a destinazione ordinaria censite al catasto edilizio urbano, non può essere inferiore "
          "all'80% della superficie catastale.",
          "Per gli immobili già denunciati è altresì previsto che i Comuni modificano d'ufficio le superfici che "
          "risultano inferiori alla predetta percentuale, dandone comunicazione agli interessati.",
          "Pertanto Le comunichiamo che dalle verifiche eseguite risulta che la superficie da Lei dichiarata relativa ai "
          "locali utilizzati, è inferiore alla nuova superficie minima di riferimento, che ad ogni buon fine di seguito si "
          "trascrive: PROSPETTO:",
          "Giuste le superiori risultanze si comunica e notifica ad ogni effetto, che con decorrenza 01/01/2025 sarà "
          "iscritta a ruolo la superficie per come sopra accertata, per l'importo della tariffa determinata di anno in "
          "anno dalla Giunta Comunale.",
          "Il Funzionario Responsabile", "PESARO lì ____________________", "Dott. Paolo Bianchi",
          "COMUNE DI PESARO (Provincia di PESARO E URBINO)",
          "Io sottoscritto Messo Comunale dichiaro di aver oggi notificato il presente avviso al contribuente Sig. ROSSI "
          "MARIO",
          "consegnandone copia a mano di:", "IL CONSEGNATARIO", "IL MESSO COMUNALE"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(atteso))) << atteso;
}

TEST_F(ReportRuolo, IlLogoDalFileDellaCartellaDiLavoro)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    auto immagini = [](const ReportPreparato& r) {
        int n = 0;
        for (const auto& p : r.pagine)
            for (const Primitiva& x : p.primitive)
                n += std::holds_alternative<ImmaginePreparata>(x) ? 1 : 0;
        return n;
    };
    // no logo.bmp: the box stays empty, no error
    EXPECT_EQ(immagini(l.prepara(adesso)), 0);
    EXPECT_EQ(ReportLettere::frxReport2GetValue(QStringLiteral("LOGO")), std::nullopt);
    QImage logo(40, 30, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QStringLiteral("logo.bmp"), "BMP"));
    EXPECT_EQ(ReportLettere::frxReport2GetValue(QStringLiteral("LOGO")), QVariant(QStringLiteral("logo.bmp")));
    EXPECT_EQ(ReportLettere::frxReport2GetValue(QStringLiteral("Logos")), std::nullopt);
    const ReportPreparato r = l.prepara(adesso);
    EXPECT_EQ(immagini(r), 3);  // on every page's heading
    for (const Primitiva& x : r.pagine[0].primitive)
        if (const auto* i = std::get_if<ImmaginePreparata>(&x)) {
            // fitted in the 27.6 x 27 box at the margin, its proportions kept
            EXPECT_NEAR(i->riquadro.left(), 10, 1e-6);
            EXPECT_NEAR(i->riquadro.width(), 27.6, 1e-6);
            EXPECT_NEAR(i->riquadro.height(), 27.6 * 30 / 40, 1e-6);
        }
}

TEST_F(ReportRuolo, LetteraSingola)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Singola);
    // BIANCHI, -9: the clerk asks for her letter, which shows -9
    const ReportPreparato r = l.preparaSingola(8, adesso);
    ASSERT_EQ(r.numeroPagine(), 1);
    QStringList t = testi(r, 0);
    EXPECT_TRUE(t.contains(QStringLiteral("Sig. BIANCHI ANNA")));
    EXPECT_EQ(t[t.indexOf(QStringLiteral("Maggiore superficie accertabile:")) + 1], QStringLiteral("-9"));
    // ROSSI's own letter, not his namesake's of Rome
    t = testi(l.preparaSingola(7, adesso), 0);
    EXPECT_TRUE(t.contains(QStringLiteral("VIA GIOACCHINO ROSSINI 12")));
    EXPECT_FALSE(t.contains(QStringLiteral("VIA APPIA 1")));
    // an owner without a roll row (VERDI: the roll calls her ADELE): heading,
    // texts and receipt, "Sig." alone, no unit, empty figures
    t = testi(l.preparaSingola(9, adesso), 0);
    EXPECT_TRUE(t.contains(QStringLiteral("Sig.")));
    EXPECT_FALSE(t.contains(QStringLiteral("VRDDAA70H45G479K")));
    const qsizetype box = t.indexOf(QStringLiteral("Superficie di riferimento (80%):"));
    EXPECT_EQ(t.mid(box, 6), (QStringList{QStringLiteral("Superficie di riferimento (80%):"), QString(),
                                          QStringLiteral("Superficie dichiarata (a ruolo):"), QString(),
                                          QStringLiteral("Maggiore superficie accertabile:"), QString()}));
    EXPECT_TRUE(t.value(t.indexOf(QStringLiteral("TOTALI:")) - 1).startsWith(QLatin1String("Superficie di")));  // the table head
    EXPECT_TRUE(t.contains(QStringLiteral("IL MESSO COMUNALE")));
    // a company: no birth date, no roll row can match
    EXPECT_FALSE(tutto(l.preparaSingola(10, adesso)).contains(QStringLiteral("VIA DEL PORTO")));
}

TEST_F(ReportRuolo, RuoloVuotoUnaPaginaConLaSolaIntestazione)
{
    carica({});  // one empty row
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    const ReportPreparato r = l.prepara(adesso);
    ASSERT_EQ(r.numeroPagine(), 1);
    const QStringList t = testi(r, 0);
    EXPECT_EQ(QString(t.last()).replace(QLatin1Char(0x0a), QLatin1Char(0x20)), QStringLiteral("Superficie di riferimento (80%)"));
    EXPECT_EQ(t.mid(8, 3), (QStringList{QString(), QString(), QString()}));  // the address block
    EXPECT_TRUE(l.lettere().empty());
}

TEST_F(ReportRuolo, UnFilePerLettera)
{
    ruolo();
    ReportLettere l(*dati, ReportLettere::Uso::Tutte);
    // page by page, as sorvel-cli writes them, and from the preview's prepared report
    const QString perPagina = amb->dir.filePath(QStringLiteral("divise"));
    {
        LettereDivise d(perPagina, l.lettere());
        EXPECT_EQ(l.prepara([&](const ReportPreparato& r, const PaginaPreparata& p, int n) { d.pagina(r, p, n); }, adesso),
                  3);
        d.chiudi();
        EXPECT_EQ(d.file(), 3);
    }
    const QString dallAnteprima = amb->dir.filePath(QStringLiteral("anteprima"));
    EXPECT_EQ(LettereDivise::salva(l.prepara(adesso), l.lettere(), dallAnteprima), 3);
    for (const QString& cartella : {perPagina, dallAnteprima}) {
        EXPECT_EQ(QDir(cartella).entryList(QDir::Files, QDir::Name),
                  (QStringList{QStringLiteral("1-ROSSI MARIO.pdf"), QStringLiteral("5-NERI LUCA.pdf"),
                               QStringLiteral("6-NERI LUCA.pdf")}));
        const QString rossi = testoPdf(QDir(cartella).filePath(QStringLiteral("1-ROSSI MARIO.pdf")));
        EXPECT_TRUE(rossi.contains(QStringLiteral("Sig. ROSSI MARIO")));
        EXPECT_FALSE(rossi.contains(QStringLiteral("NERI")));
        EXPECT_TRUE(testoPdf(QDir(cartella).filePath(QStringLiteral("5-NERI LUCA.pdf"))).contains(QStringLiteral("VIA ROMA 9")));
    }
    // the same letter twice in one folder keeps both
    const std::vector<ReportLettere::Lettera> due{{1, 5, QStringLiteral("NERI LUCA")}, {2, 5, QStringLiteral("NERI LUCA")}};
    EXPECT_EQ(LettereDivise::salva(l.prepara(adesso), due, perPagina), 2);
    EXPECT_TRUE(QFile::exists(QDir(perPagina).filePath(QStringLiteral("5-NERI LUCA (2).pdf"))));
}

TEST(NomeFileLettera, CaratteriNonAmmessi)
{
    const struct {
        QVariant codice;
        const char* nome;
        const char* atteso;
    } casi[] = {
        {12, "ROSSI MARIO", "12-ROSSI MARIO.pdf"},
        {-3, "D'ANGELO ANNA", "-3-D'ANGELO ANNA.pdf"},
        {7, "SOCIETA' A/B S.R.L.", "7-SOCIETA' A_B S.R.L.pdf"},
        {7, "C:\\<TEST>|\"?*", "7-C___TEST_____.pdf"},
        {7, "NICOLÒ ", "7-NICOLÒ.pdf"},
        {QVariant(), "SENZA CODICE", "-SENZA CODICE.pdf"},
    };
    for (const auto& c : casi)
        EXPECT_EQ(ReportLettere::nomeFile(c.codice, QString::fromUtf8(c.nome)), QString::fromUtf8(c.atteso)) << c.nome;
}

}  // namespace
