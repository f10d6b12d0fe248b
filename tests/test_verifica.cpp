// The roll load: the roll line's fields and conversions, the two searches in
// the owner list, the comparison figures stored, atomic failure, the owner
// list and tRsuTot after a run, and a run killed halfway.

#include "Ambiente.h"
#include "CaricaRuolo.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Query.h"
#include "RigaRuolo.h"
#include "dmTabelle.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A roll line of 198 columns: the code right-aligned in its six columns (or
// as given when it has six characters), the surface right-aligned.
QString riga(const QString& codice, const QString& cognome, const QString& nome, const QString& nData,
             const QString& codFisc, const QString& ruolo, const QString& indirizzo = QStringLiteral("VIA ROMA 1"),
             const QString& citta = QStringLiteral("PESARO"))
{
    return codice.rightJustified(6) + cognome.leftJustified(30) + nome.leftJustified(30) + nData.leftJustified(10) +
           codFisc.leftJustified(16) + ruolo.rightJustified(6) + indirizzo.leftJustified(50) + citta.leftJustified(50);
}

const QString colonneRuolo = QStringLiteral(
    "Codice, Cognome, Nome, NData, CodFisc, Superficie, Ruolo, Differenza, Dichiarabile, Accertabile, Presente, "
    "Indirizzo, Citta");

// Owners of Pesaro (G479):
//   7 ROSSI MARIO 01/02/1950, units of 60 and 41 m²
//   8 ROSSI MARIO GIUSEPPE 01/02/1950, tax code RSSMRG50B01G479Y, unit of 80 m²
//   9 EDILIZIA ADRIATICA S.R.L., no birth date, unit of 200 m²
//  10 BIANCHI ANNA 03/04/1960, a unit without surface
// and 11 VERDI LUCA of Rome (H501), outside the owner list.
class Ruolo : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        amb->soggetto(QStringLiteral("G479"), 1, 7, QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                      QStringLiteral("RSSMRA50B01G479X"), QStringLiteral("1950-02-01"));
        amb->soggetto(QStringLiteral("G479"), 2, 7, QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                      QStringLiteral("RSSMRA50B01G479X"), QStringLiteral("1950-02-01"));
        amb->soggetto(QStringLiteral("G479"), 3, 8, QStringLiteral("ROSSI"), QStringLiteral("MARIO GIUSEPPE"),
                      QStringLiteral("RSSMRG50B01G479Y"), QStringLiteral("1950-02-01"));
        amb->soggetto(QStringLiteral("G479"), 5, 10, QStringLiteral("BIANCHI"), QStringLiteral("ANNA"),
                      QStringLiteral("BNCNNA60D43G479Z"), QStringLiteral("1960-04-03"));
        amb->soggetto(QStringLiteral("H501"), 6, 11, QStringLiteral("VERDI"), QStringLiteral("LUCA"),
                      QStringLiteral("VRDLCU70H05H501W"), QStringLiteral("1970-06-05"));
        amb->sql(QStringLiteral(
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, CodFisc) "
            "VALUES ('G479', '', 4, 1, 1, 'G', 9, 'EDILIZIA ADRIATICA S.R.L.', '01234567890');"
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
            "('G479', '', 1, 1, 60), ('G479', '', 2, 1, 41), ('G479', '', 3, 1, 80), ('G479', '', 4, 1, 200), "
            "('G479', '', 5, 1, NULL), ('H501', '', 6, 1, 90)"));
        apri();
    }
    void apri()
    {
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        elenco = std::make_unique<Query>(dati->ADOConnection1, QStringLiteral("ADOQuery1"));
        ElencoSoggetti::apri(*elenco, *dati);
    }
    static void scrivi(const QStringList& righe, const QString& file = QStringLiteral("ruolo.txt"))
    {
        QString t;
        for (const QString& r : righe)
            t += r + QStringLiteral("\r\n");
        ScriviFileTesto(file, t);
    }
    static void scriviByte(const QByteArray& b, const QString& file = QStringLiteral("ruolo.txt"))
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }
    RisultatoRuolo carica(const QString& file = QStringLiteral("ruolo.txt"))
    {
        return CaricaRuolo(*dati, *elenco, file);
    }
    // The stored rows of tRsuTot, "|" between columns, NULL for null.
    QStringList righe(const QString& colonne = colonneRuolo)
    {
        const auto db = amb->connessione();
        Comando c = db->prepara(QStringLiteral("SELECT %1 FROM tRsuTot ORDER BY rowid").arg(colonne));
        QStringList r;
        while (c.passo()) {
            QStringList v;
            for (int i = 0; i < c.colonne(); ++i)
                v << (c.tipo(i) == Comando::Tipo::Nullo ? QStringLiteral("NULL") : c.testo(i));
            r << v.join(QLatin1Char('|'));
        }
        return r;
    }
    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<Query> elenco;
};

TEST(RigaRuolo, ColonneFisse)
{
    const RigaRuolo r = RigaRuolo::analizza(
        riga(QStringLiteral("   123"), QStringLiteral(" \tROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"),
             QStringLiteral("RSSMRA"), QStringLiteral("+70"), QStringLiteral("VIA  ROMA 1 "), QStringLiteral("PESARO")) +
        QStringLiteral("OLTRE"));
    EXPECT_EQ(r.codice, QStringLiteral("   123"));  // untrimmed: the conversion judges its blanks
    EXPECT_EQ(r.cognome, QStringLiteral("ROSSI"));
    EXPECT_EQ(r.nome, QStringLiteral("MARIO"));
    EXPECT_EQ(r.nData, QStringLiteral("01/02/1950"));
    EXPECT_EQ(r.codFisc, QStringLiteral("RSSMRA"));
    EXPECT_EQ(r.ruolo, QStringLiteral("+70"));
    EXPECT_EQ(r.indirizzo, QStringLiteral("VIA  ROMA 1"));
    EXPECT_EQ(r.citta, QStringLiteral("PESARO"));  // what follows column 198 is ignored

    // a short line: each field as far as the line goes
    const RigaRuolo c = RigaRuolo::analizza(QStringLiteral("12ROSS"));
    EXPECT_EQ(c.codice, QStringLiteral("12ROSS"));
    const RigaRuolo d = RigaRuolo::analizza(QStringLiteral("   123ROSSI                         MAR"));
    EXPECT_EQ(d.codice, QStringLiteral("   123"));
    EXPECT_EQ(d.cognome, QStringLiteral("ROSSI"));
    EXPECT_EQ(d.nome, QStringLiteral("MAR"));
    EXPECT_TRUE(d.nData.isEmpty() && d.codFisc.isEmpty() && d.citta.isEmpty());

    // the search name: a person's with one blank, a company's joined as it stands
    RigaRuolo p;
    p.cognome = QStringLiteral("ROSSI");
    p.nome = QStringLiteral("MARIO");
    p.nData = QStringLiteral("01/02/1950");
    EXPECT_EQ(p.nomeRicerca(), QStringLiteral("ROSSI MARIO"));
    p.nome.clear();
    EXPECT_EQ(p.nomeRicerca(), QStringLiteral("ROSSI"));
    p.nData.clear();
    p.cognome = QStringLiteral("EDILIZIA ADRIATI");
    p.nome = QStringLiteral("CA S.R.L.");
    EXPECT_EQ(p.nomeRicerca(), QStringLiteral("EDILIZIA ADRIATICA S.R.L."));
}

TEST_F(Ruolo, RigheERigheMemorizzate)
{
    const QString da = QStringLiteral("01/02/1950");
    struct Caso {
        const char* descrizione;
        QString riga;
        const char* attesa;
    } casi[] = {
        {"trovato per nome e data", riga(QStringLiteral("000123"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), da, QStringLiteral("XYZ"), QStringLiteral("70")),
         "123|ROSSI|MARIO|1950-02-01|XYZ|101|70|31|81|11||VIA ROMA 1|PESARO"},
        {"nome diverso, trovato per l'inizio del codice fiscale",
         riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO G."), da, QStringLiteral("rssmrg50"), QStringLiteral("70")),
         "1|ROSSI|MARIO G.|1950-02-01|rssmrg50|80|70|10|64|-6||VIA ROMA 1|PESARO"},
        {"non trovato", riga(QStringLiteral("2"), QStringLiteral("NERI"), QStringLiteral("PIA"), QStringLiteral("01/01/1980"), QStringLiteral("NRXPIA"), QStringLiteral("40")),
         "2|NERI|PIA|1980-01-01|NRXPIA|NULL|40|NULL|NULL|NULL|*|VIA ROMA 1|PESARO"},
        {"trovato senza superficie catastale", riga(QStringLiteral("3"), QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960"), QString(), QStringLiteral("50")),
         "3|BIANCHI|ANNA|1960-04-03||NULL|50|-50|0|-50||VIA ROMA 1|PESARO"},
        {"superficie dichiarata in bianco", riga(QStringLiteral("4"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), da, QString(), QString()),
         "4|ROSSI|MARIO|1950-02-01||101|NULL|101|81|81||VIA ROMA 1|PESARO"},
        {"codice con blanchi davanti, superficie con segno", riga(QStringLiteral("  -124"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), da, QString(), QStringLiteral("+90")),
         "-124|ROSSI|MARIO|1950-02-01||101|90|11|81|-9||VIA ROMA 1|PESARO"},
        {"società divisa tra i due campi del nome", riga(QStringLiteral("5"), QStringLiteral("EDILIZIA ADRIATI"), QStringLiteral("CA S.R.L."), QString(), QString(), QStringLiteral("300")),
         "5|EDILIZIA ADRIATI|CA S.R.L.|NULL||200|300|-100|160|-140||VIA ROMA 1|PESARO"},
        {"nomi in minuscolo", riga(QStringLiteral("6"), QStringLiteral("rossi"), QStringLiteral("Mario"), da, QString(), QStringLiteral("10")),
         "6|rossi|Mario|1950-02-01||101|10|91|81|71||VIA ROMA 1|PESARO"},
        {"persona senza data: cognome e nome uniti senza blank, trovata per codice fiscale",
         riga(QStringLiteral("7"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QString(), QStringLiteral("BNCNNA"), QStringLiteral("1")),
         "7|ROSSI|MARIO|NULL|BNCNNA|NULL|1|-1|0|-1||VIA ROMA 1|PESARO"},
        {"proprietario di un altro comune", riga(QStringLiteral("8"), QStringLiteral("VERDI"), QStringLiteral("LUCA"), QStringLiteral("05/06/1970"), QStringLiteral("VRDLCU70H05H501W"), QStringLiteral("5")),
         "8|VERDI|LUCA|1970-06-05|VRDLCU70H05H501W|NULL|5|NULL|NULL|NULL|*|VIA ROMA 1|PESARO"},
        {"riga corta", QStringLiteral("   125ROSSI"), "125|ROSSI||NULL||NULL|NULL|NULL|NULL|NULL|*||"},
        {"riga vuota", QString(), "NULL|||NULL||NULL|NULL|NULL|NULL|NULL|*||"},
        {"blanchi e caratteri di controllo attorno ai campi",
         riga(QStringLiteral("9"), QStringLiteral("\tROSSI\x01"), QStringLiteral(" MARIO"), da, QStringLiteral(" X "), QStringLiteral(" 7 "), QStringLiteral(" VIA\t"), QStringLiteral("PESARO\x1f")),
         "9|ROSSI|MARIO|1950-02-01|X|101|7|94|81|74||VIA|PESARO"},
    };
    QStringList righeFile;
    QStringList attese;
    for (const Caso& c : casi) {
        righeFile << c.riga;
        attese << QString::fromUtf8(c.attesa);
    }
    scrivi(righeFile);
    const RisultatoRuolo r = carica();
    EXPECT_EQ(r.righe, righeFile.size());
    EXPECT_EQ(r.trovati, 9);
    const QStringList memorizzate = righe();
    ASSERT_EQ(memorizzate.size(), attese.size());
    for (qsizetype i = 0; i < attese.size(); ++i)
        EXPECT_EQ(memorizzate[i], attese[i]) << casi[i].descrizione;
}

TEST_F(Ruolo, FineDelFile)
{
    struct Caso {
        const char* descrizione;
        QByteArray contenuto;
        QStringList codici;
    } casi[] = {
        {"ultima riga senza a capo", "1\r\n2", {QStringLiteral("1"), QStringLiteral("2")}},
        {"a capo finale: nessuna riga in più", "1\r\n2\r\n", {QStringLiteral("1"), QStringLiteral("2")}},
        {"solo LF; un CR isolato si perde", "1\n2\r3\n", {QStringLiteral("1"), QStringLiteral("23")}},
        {"Ctrl-Z chiude il file", "1\r\n\x1a" "2\r\n", {QStringLiteral("1")}},
        {"file vuoto: una riga", "", {QStringLiteral("NULL")}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        scriviByte(c.contenuto);
        EXPECT_EQ(carica().righe, c.codici.size());
        EXPECT_EQ(righe(QStringLiteral("Codice")), c.codici);
    }
    // the empty file's row: empty texts, null numbers and dates, not found
    EXPECT_EQ(righe(), QStringList{QStringLiteral("NULL|||NULL||NULL|NULL|NULL|NULL|NULL|*||")});

    // unless an owner has an empty tax code: the tax-code search finds it
    amb->sql(QStringLiteral("INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Soggetto, "
                            "Denominazione, CodFisc) VALUES ('G479', '', 2, 1, 2, 12, 'SENZA CODICE', '')"));
    ElencoSoggetti::apri(*elenco, *dati);
    carica();
    EXPECT_EQ(righe(QStringLiteral("Superficie, Presente")), QStringList{QStringLiteral("41|")});
}

TEST_F(Ruolo, ErroreLasciaIlCaricamentoPrecedente)
{
    scrivi({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"), QString(), QStringLiteral("70"))});
    carica();
    const QStringList prima = righe();
    ASSERT_EQ(prima.size(), 1);

    struct Caso {
        const char* descrizione;
        QString riga;
        const char* testo;   // the offending text, quoted
        const char* colonna;
    } casi[] = {
        {"codice con blanchi dopo", riga(QStringLiteral("123   "), QStringLiteral("A"), QString(), QString(), QString(), QString()), "'123   '", "Codice"},
        {"codice tutto in bianco", riga(QStringLiteral("      "), QStringLiteral("A"), QString(), QString(), QString(), QString()), "'      '", "Codice"},
        {"codice non numerico", riga(QStringLiteral("12a456"), QStringLiteral("A"), QString(), QString(), QString(), QString()), "'12a456'", "Codice"},
        {"superficie non numerica", riga(QStringLiteral("2"), QStringLiteral("A"), QString(), QString(), QString(), QStringLiteral("7 x")), "'7 x'", "Ruolo"},
        {"data impossibile", riga(QStringLiteral("3"), QStringLiteral("A"), QString(), QStringLiteral("31/02/1950"), QString(), QString()), "'31/02/1950'", "NData"},
        {"data in un'altra forma", riga(QStringLiteral("4"), QStringLiteral("A"), QString(), QStringLiteral("1950-02-01"), QString(), QString()), "'1950-02-01'", "NData"},
        {"data tagliata da una riga corta", riga(QStringLiteral("5"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"), QString(), QString()).left(70), "'01/0'", "NData"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        QStringList f;
        for (int i = 0; i < 99; ++i)
            f << riga(QString::number(100 + i), QStringLiteral("NERI"), QStringLiteral("PIA"), QString(), QString(), QStringLiteral("1"));
        f << c.riga << riga(QStringLiteral("999"), QStringLiteral("DOPO"), QString(), QString(), QString(), QString());
        scrivi(f);
        elenco->vaiA(2);
        try {
            carica();
            ADD_FAILURE() << "nessun errore";
        } catch (const Errore& e) {
            EXPECT_TRUE(e.testo().startsWith(QStringLiteral("Riga 100: "))) << e.testo().toStdString();
            EXPECT_TRUE(e.testo().contains(QString::fromUtf8(c.testo))) << e.testo().toStdString();
            EXPECT_TRUE(e.testo().contains(QString::fromUtf8(c.colonna))) << e.testo().toStdString();
        }
        EXPECT_EQ(righe(), prima);
        EXPECT_EQ(elenco->rigaCorrente(), 0);  // restored as after a complete run
        EXPECT_FALSE(dati->connessione().inTransazione());
    }

    // a file that cannot be opened: the previous load stays, the error names the file
    try {
        carica(QStringLiteral("manca.txt"));
        ADD_FAILURE() << "nessun errore";
    } catch (const Errore& e) {
        EXPECT_TRUE(e.testo().contains(QStringLiteral("manca.txt"))) << e.testo().toStdString();
    }
    EXPECT_EQ(righe(), prima);
}

TEST_F(Ruolo, DueCaricamentiEIlPrimoSoggettoDellElenco)
{
    scrivi({riga(QStringLiteral("1"), QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960"), QString(), QStringLiteral("1")),
            riga(QStringLiteral("2"), QStringLiteral("NERI"), QStringLiteral("PIA"), QString(), QString(), QString())});
    carica();
    ASSERT_EQ(righe(QStringLiteral("Codice")).size(), 2);

    // the search left the list on ROSSI: the load ends on the first row all the same
    scrivi({riga(QStringLiteral("3"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"), QString(), QStringLiteral("1"))});
    elenco->ultimo();
    int spostamentiVisti = 0;
    QObject::connect(elenco.get(), &DataSet::rigaCambiata, [&] { spostamentiVisti += elenco->seguitoSospeso() ? 0 : 1; });
    carica();
    EXPECT_EQ(righe(QStringLiteral("Codice")), QStringList{QStringLiteral("3")});
    EXPECT_EQ(elenco->rigaCorrente(), 0);
    EXPECT_EQ(elenco->testo(u"Denominazione"), QStringLiteral("BIANCHI ANNA"));
    EXPECT_FALSE(elenco->seguitoSospeso());
    EXPECT_EQ(spostamentiVisti, 0) << "the views must not follow the searches";

    // the data module's table shows the new load
    dati->tRsuTot.primo();
    EXPECT_EQ(dati->tRsuTot.righe(), 1);
    EXPECT_EQ(dati->tRsuTot.intero(u"Codice"), 3);
}

// Killing the process in the middle of a load leaves the previous one.
TEST_F(Ruolo, InterrottoDaSigkill)
{
    scrivi({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"), QString(), QStringLiteral("70"))});
    carica();
    const QStringList prima = righe();
    elenco.reset();
    dati.reset();

    // many short lines, each found by its tax code: a run of several seconds
    QByteArray grande;
    const QByteArray r = QByteArray("     1") + QByteArray(70, ' ') + "RSSMRA\r\n";
    for (int i = 0; i < 300000; ++i)
        grande += r;
    scriviByte(grande, QStringLiteral("grande.txt"));
    QProcess cli;
    cli.start(QStringLiteral(SORVEL_CLI), {QStringLiteral("verify"), QStringLiteral("grande.txt")});
    ASSERT_TRUE(cli.waitForStarted());
    // wait for the loading pass to be well under way, then kill
    QByteArray err;
    while (!err.contains(" / ") && cli.state() == QProcess::Running) {
        cli.waitForReadyRead(200);
        err += cli.readAllStandardError();
    }
    ASSERT_TRUE(err.contains(" / ")) << err.toStdString();
    cli.kill();
    cli.waitForFinished();
    EXPECT_EQ(righe(), prima);
}

}  // namespace
