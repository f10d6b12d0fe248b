// The data store: field splitting, outcome texts, conversions, Locate, the
// numbering of repeated rows, start-up from sorvel.ini.

#include "Ambiente.h"
#include "Collazione.h"
#include "Errore.h"
#include "Query.h"
#include "dmTabelle.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(EstraiCampo, CampiEMarcatoreDiFine)
{
    const QString riga = QStringLiteral("A001| |123|4|1|");
    struct Caso {
        int n;
        const char* atteso;
    } casi[] = {{1, "A001"}, {2, " "}, {3, "123"}, {5, "1"}, {6, "$"}, {7, "$"}, {40, "$"}};
    for (const Caso& c : casi)
        EXPECT_EQ(TdTabelle::EstraiCampo(riga, c.n), QString::fromLatin1(c.atteso)) << "campo " << c.n;

    EXPECT_EQ(TdTabelle::EstraiCampo(u"A001||", 2), QString());
    EXPECT_EQ(TdTabelle::EstraiCampo(u"A001||", 3), QStringLiteral("$"));
    EXPECT_EQ(TdTabelle::EstraiCampo(u"senza barre", 1), QStringLiteral("$"));
    EXPECT_EQ(TdTabelle::EstraiCampo(u"", 1), QStringLiteral("$"));
}

TEST(Esito, SoloICodiciEsatti)
{
    struct Caso {
        QVariant codice;
        const char* esito;
    } casi[] = {{QStringLiteral("1"), "Superficie calcolata"},
                {QStringLiteral("2"), "Superficie non calcolata"},
                {QStringLiteral("3"), "Superficie in corso di definizione"},
                {QStringLiteral("4"), "Planimetria non presente negli atti catastali"},
                {QStringLiteral("01"), ""},
                {QStringLiteral("1 "), ""},
                {QStringLiteral("5"), ""},
                {QVariant(QMetaType(QMetaType::QString)), ""}};
    for (const Caso& c : casi)
        EXPECT_EQ(TdTabelle::tUnImm1CalcFields(c.codice), QString::fromUtf8(c.esito)) << c.codice.toString().toStdString();
}

TEST(LetteraleSql, RaddoppiaGliApici)
{
    EXPECT_EQ(LetteraleSql(QStringLiteral("G479")), QStringLiteral("'G479'"));
    EXPECT_EQ(LetteraleSql(QStringLiteral("D'A")), QStringLiteral("'D''A'"));
    EXPECT_EQ(LetteraleSql(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(LetteraleSql(QString()), QStringLiteral("''"));
}

TEST(Conversione, DaTesto)
{
    const DefCampo testo{QStringLiteral("Cognome"), TipoCampo::Testo, 50};
    const DefCampo fisso{QStringLiteral("Nome"), TipoCampo::Fisso, 5};
    const DefCampo i16{QStringLiteral("Altezza"), TipoCampo::Intero16, 0};
    const DefCampo byte{QStringLiteral("Fonte"), TipoCampo::Byte, 0};
    const DefCampo i32{QStringLiteral("Superficie"), TipoCampo::Intero32, 0};
    const DefCampo data{QStringLiteral("NData"), TipoCampo::Data, 0};

    EXPECT_EQ(Conversione::daTesto(testo, QString(60, QLatin1Char('R'))).toString(), QString(50, QLatin1Char('R')));
    EXPECT_EQ(Conversione::daTesto(fisso, QStringLiteral("AB")).toString(), QStringLiteral("AB   "));
    EXPECT_EQ(Conversione::daTesto(testo, QString()).toString(), QString());
    EXPECT_FALSE(Conversione::daTesto(testo, QString()).isNull());

    struct Numero {
        const DefCampo* campo;
        const char* testo;
        bool valido;
        qint64 valore;
    } numeri[] = {{&i32, "120", true, 120},     {&i32, "  -7", true, -7},       {&i32, "+5", true, 5},
                  {&i32, "12 ", false, 0},      {&i32, "1.5", false, 0},        {&i32, "$", false, 0},
                  {&i32, "   ", false, 0},      {&i32, "0x1A", false, 0},       {&i32, "2147483648", false, 0},
                  {&i32, "-2147483648", true, -2147483648LL},                   {&i16, "32767", true, 32767},
                  {&i16, "32768", false, 0},    {&i16, "-32769", false, 0},     {&byte, "255", true, 255},
                  {&byte, "256", false, 0},     {&byte, "-1", false, 0},
                  {&i32, "99999999999999999999999", false, 0}};
    for (const Numero& n : numeri) {
        const QString t = QString::fromLatin1(n.testo);
        if (n.valido) {
            EXPECT_EQ(Conversione::daTesto(*n.campo, t).toLongLong(), n.valore) << n.testo;
        } else {
            try {
                Conversione::daTesto(*n.campo, t);
                ADD_FAILURE() << "accettato: " << n.testo;
            } catch (const Errore& e) {
                // the message names the column and quotes the value
                EXPECT_TRUE(e.testo().contains(n.campo->nome)) << e.testo().toStdString();
                EXPECT_TRUE(e.testo().contains(QLatin1Char('\'') + t + QLatin1Char('\''))) << e.testo().toStdString();
            }
        }
    }
    EXPECT_TRUE(Conversione::daTesto(i32, QString()).isNull());

    EXPECT_EQ(Conversione::daTesto(data, QStringLiteral("31/12/1999")).toDate(), QDate(1999, 12, 31));
    EXPECT_TRUE(Conversione::daTesto(data, QString()).isNull());
    for (const char* male : {"00/00/0000", "31/02/2001", "01/13/2000", "1/1/2000", "01/01/20", "aa/bb/cccc"})
        EXPECT_THROW(Conversione::daTesto(data, QString::fromLatin1(male)), Errore) << male;
}

TEST(FileTesto, RegoleDelleRighe)
{
    QTemporaryDir dir;
    struct Caso {
        QByteArray contenuto;
        QStringList righe;
    } casi[] = {
        {"", {QString()}},
        {"A", {QStringLiteral("A")}},
        {"A\r\n", {QStringLiteral("A")}},
        {"A\r\n\r\n", {QStringLiteral("A"), QString()}},
        {"A\nB", {QStringLiteral("A"), QStringLiteral("B")}},
        {"A\rB\n", {QStringLiteral("AB")}},
        {"A\n\x1a" "B\n", {QStringLiteral("A")}},
        {"A\x1a" "B", {QStringLiteral("A")}},
        {"\xe0\x80|\x81", {QStringLiteral("à€|\u0081")}},
        // saved again as UTF-8 by an editor: the mark says so and is dropped
        {"\xef\xbb\xbf" "\xc3\xa0\xe2\x82\xac\r\nB", {QStringLiteral("à€"), QStringLiteral("B")}},
        {"\xc3\xa0", {QStringLiteral("Ã\u00a0")}},
    };
    for (const Caso& c : casi) {
        const QString f = dir.filePath(QStringLiteral("t.txt"));
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.contenuto);
        file.close();
        LettoreTesto l(f);
        QStringList lette;
        do {
            lette << l.leggiRiga();
        } while (!l.fine());
        EXPECT_EQ(lette, c.righe) << c.contenuto.toStdString();
    }
    EXPECT_THROW(LettoreTesto(dir.filePath(QStringLiteral("manca.txt"))), Errore);
}

// --- start-up -------------------------------------------------------------------

TEST(DataModuleCreate, SenzaIniScriveQuelloPredefinito)
{
    Ambiente a;
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    QFile::remove(QStringLiteral("sorvel.ini"));
    TdTabelle d;
    d.DataModuleCreate();
    QFile ini(QStringLiteral("sorvel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), TdTabelle::iniPredefinito.toLatin1() + "\r\n");
    EXPECT_EQ(d.StringaConnessione, TdTabelle::iniPredefinito);
    EXPECT_TRUE(d.tUnImm5_6.aperto());
    EXPECT_TRUE(d.tRsuTot.aperto());
}

TEST(DataModuleCreate, ContaSoloLaPrimaRiga)
{
    Ambiente a;
    DatabaseConsegnato::crea(QStringLiteral("altro.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"),
                    QStringLiteral("Provider=SQLite;Data Source=altro.mdb\r\nProvider=Altro; Data Source=x\r\n"));
    TdTabelle d;
    d.DataModuleCreate();
    EXPECT_EQ(d.StringaConnessione, QStringLiteral("Provider=SQLite;Data Source=altro.mdb"));
    EXPECT_EQ(d.tComuni.righe(), 7904);
}

TEST(DataModuleCreate, ErroriChiari)
{
    struct Caso {
        const char* ini;     // null: the database under test
        const char* schema;  // SQL run on the database before start-up
        const char* parola;  // the error must say this
    } casi[] = {
        {"", nullptr, "vuota"},
        {"Provider=MSDASQL; Data Source=sorvel.mdb", nullptr, "MSDASQL"},
        {"Provider=SQLite; Data Source=manca.mdb", nullptr, "manca.mdb"},
        {"Provider=SQLite; Data Source=.", nullptr, "una cartella"},
        {"Provider=SQLite; Data Source=sorvel.mdb; Busy Timeout=presto", nullptr, "Busy Timeout"},
        {nullptr, "DROP TABLE tRsuTot", "tRsuTot"},
        {nullptr, "ALTER TABLE tUnImm3 DROP COLUMN Fonte", "Fonte"},
        {nullptr,
         "DROP TABLE tParametri; CREATE TABLE tParametri (Codice INTEGER, Nome TEXT, Provincia TEXT, CodFis TEXT, "
         "Indirizzo TEXT, Telefono TEXT, Fax TEXT, Firma TEXT)",
         "Codice"},
    };
    for (const Caso& c : casi) {
        Ambiente a;
        if (c.ini)
            ScriviFileTesto(QStringLiteral("sorvel.ini"), QString::fromLatin1(c.ini) + QStringLiteral("\r\n"));
        if (c.schema)
            a.sql(QString::fromLatin1(c.schema));
        TdTabelle d;
        try {
            d.DataModuleCreate();
            ADD_FAILURE() << "nessun errore per " << (c.ini ? c.ini : c.schema);
        } catch (const Errore& e) {
            EXPECT_TRUE(e.testo().contains(QString::fromLatin1(c.parola))) << e.testo().toStdString();
        }
        // never a new empty database
        EXPECT_FALSE(QFile::exists(QStringLiteral("manca.mdb")));
    }
}

TEST(DataModuleCreate, FiltraLeTabelleDellaFornitura)
{
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    a.soggetto(QStringLiteral("G479"), 1, 10, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("RSSMRA"));
    a.soggetto(QStringLiteral("H501"), 2, 11, QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("BNCNNA"));
    TdTabelle d;
    d.DataModuleCreate();
    EXPECT_EQ(d.tUnImm5_6.filtro(), QStringLiteral("Codice = 'G479'"));
    ASSERT_EQ(d.tUnImm5_6.righe(), 1);
    EXPECT_EQ(d.tUnImm5_6.testo(u"Cognome"), QStringLiteral("ROSSI"));
    EXPECT_FALSE(d.tComuni.filtrato());
    EXPECT_EQ(d.tParametri.testo(u"CAP"), QStringLiteral("61100"));
    a.codice(QStringLiteral("H501"));
    d.tParametri.chiudi();
    d.tParametri.apri();
    d.applicaFiltroGestione();
    EXPECT_EQ(d.tUnImm5_6.testo(u"Cognome"), QStringLiteral("BIANCHI"));
    // Rome's postcode 00100 is a number: it shows without leading zeros
    EXPECT_EQ(d.tParametri.testo(u"CAP"), QStringLiteral("100"));
    // fixed-width columns read back padded
    ASSERT_TRUE(d.tComuni.Locate(QStringLiteral("CodiceCat"), {QStringLiteral("H501")}));
    EXPECT_EQ(d.tComuni.testo(u"Nome"), QStringLiteral("ROMA").leftJustified(35));
}

TEST(DataModuleCreate, CodiceConApice)
{
    Ambiente a;
    a.codice(QStringLiteral("D'A"));
    a.soggetto(QStringLiteral("D'A"), 1, 10, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("X"));
    a.soggetto(QStringLiteral("D"), 2, 11, QStringLiteral("VERDI"), QStringLiteral("ANNA"), QStringLiteral("Y"));
    TdTabelle d;
    d.DataModuleCreate();
    EXPECT_EQ(d.tUnImm5_6.filtro(), QStringLiteral("Codice = 'D''A'"));
    EXPECT_EQ(d.tUnImm5_6.righe(), 1);
    d.AzzeraArchivi();
    const auto db = a.connessione();
    Comando c = db->prepara(QStringLiteral("SELECT Codice FROM tUnImm5_6"));
    ASSERT_TRUE(c.passo());
    EXPECT_EQ(c.testo(0), QStringLiteral("D"));  // only the managing municipality's rows went
    EXPECT_FALSE(c.passo());
}

// --- numbering of repeated rows ---------------------------------------------------------

TEST(ProgrRec, NumeraPerUnitaEPerTabella)
{
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    // a row of another municipality's unit with the same number counts for that unit only
    a.sql(QStringLiteral("INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec) VALUES ('H501', '', 7, 1, 9)"));
    TdTabelle d;
    d.DataModuleCreate();
    auto riga = [&](Tabella& t, const char* immobile) {
        d.CodiceRiga = QStringLiteral("G479");
        d.SezioneRiga = QString();
        d.ImmobileRiga = QString::fromLatin1(immobile);
        d.ProgressivoRiga = QStringLiteral("1");
        t.aggiungi();
        const qint64 n = t.intero(u"ProgrRec");
        t.impostaTesto(u"Codice", d.CodiceRiga);
        t.impostaTesto(u"Sezione", d.SezioneRiga);
        t.impostaTesto(u"Immobile", d.ImmobileRiga);
        t.impostaTesto(u"Progressivo", d.ProgressivoRiga);
        t.registra();
        return n;
    };
    EXPECT_EQ(riga(d.tUnImm2, "7"), 1);
    EXPECT_EQ(riga(d.tUnImm2, "7"), 2);
    EXPECT_EQ(riga(d.tUnImm3, "7"), 1);
    EXPECT_EQ(riga(d.tUnImm3, "8"), 1);
    EXPECT_EQ(riga(d.tUnImm3, "7"), 2);
    EXPECT_EQ(riga(d.tUnImm2, "7"), 3);

    // a row begun but not stored uses no number
    d.tUnImm4.aggiungi();
    d.tUnImm4.annulla();
    EXPECT_EQ(riga(d.tUnImm4, "7"), 1);

    // a key that is not a whole number is a conversion error naming the value,
    // never spliced into the statement ("7 OR 1" would find unit 7's maximum
    // through another unit's rows)
    for (const auto& [immobile, progressivo] : {std::pair{"7 OR 1", "1"}, std::pair{"7", "1 OR 1=1"}, std::pair{"x", "1"}}) {
        try {
            d.ProssimoProgrRec(QStringLiteral("tUnImm2"), QStringLiteral("G479"), QString(), QString::fromLatin1(immobile),
                               QString::fromLatin1(progressivo));
            ADD_FAILURE() << immobile << " / " << progressivo << " accepted";
        } catch (const Errore& e) {
            EXPECT_TRUE(e.testo().contains(QStringLiteral("non è un numero intero")));
            EXPECT_TRUE(e.testo().contains(QString::fromLatin1(std::string_view(immobile) == "7" ? progressivo : immobile)))
                << e.testo().toStdString();
        }
    }
    // through the row being begun, without the import's counter
    d.ImmobileRiga = QStringLiteral("7 OR 1");
    EXPECT_THROW(d.tUnImm2.aggiungi(), Errore);
    EXPECT_EQ(d.tUnImm2.stato(), DataSet::Stato::Consultazione);
    // the managing municipality's code with a quote is a literal, never SQL
    EXPECT_EQ(d.ProssimoProgrRec(QStringLiteral("tUnImm2"), QStringLiteral("G4' OR ''='"), QString(),
                                 QStringLiteral("7"), QStringLiteral("1")),
              1);
}

TEST(ProgrRec, LimiteDelByte)
{
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    a.sql(QStringLiteral("INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec) VALUES ('G479', '', 7, 1, 255)"));
    TdTabelle d;
    d.DataModuleCreate();
    d.CodiceRiga = QStringLiteral("G479");
    d.ImmobileRiga = QStringLiteral("7");
    d.ProgressivoRiga = QStringLiteral("1");
    EXPECT_THROW(d.tUnImm2.aggiungi(), Errore);  // 256 does not fit a Byte
    EXPECT_EQ(d.tUnImm2.stato(), DataSet::Stato::Consultazione);
}

// --- Locate -----------------------------------------------------------------------------

class LocateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        // inserted out of order on purpose
        amb->soggetto(QStringLiteral("G479"), 1, 30, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("RSSMRA70"));
        amb->soggetto(QStringLiteral("G479"), 2, 20, QStringLiteral("ROSA"), QStringLiteral("ANNA"), QStringLiteral("RSONNA60"));
        amb->soggetto(QStringLiteral("G479"), 3, 10, QStringLiteral("Rossini"), QStringLiteral("gino"), QString());
        amb->soggetto(QStringLiteral("G479"), 4, 40, QStringLiteral("BIANCHI"), QStringLiteral("LUCA"), QStringLiteral("BNCLCU"),
                      QStringLiteral("1980-05-06"));
        amb->soggetto(QStringLiteral("H501"), 5, 50, QStringLiteral("ROS"), QStringLiteral("ALTRO"), QStringLiteral("AAA"));
        amb->soggetto(QStringLiteral("G479"), 6, 60, QStringLiteral("D'ANGELO"), QStringLiteral("NICOLÒ"), QStringLiteral("DNGNCL"));
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        elenco = std::make_unique<Query>(dati->ADOConnection1, QStringLiteral("elenco"));
        elenco->sql = {QStringLiteral("SELECT Codice, Soggetto, Cognome, Nome, Denominazione, NData, CodFisc FROM tUnImm5_6"),
                       QStringLiteral("ORDER BY Soggetto")};
        elenco->impostaFiltro(QStringLiteral("Codice = 'G479'"));
        elenco->impostaFiltrato(true);
        elenco->apri();
    }
    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<Query> elenco;
};

TEST_F(LocateTest, TabellaDeiCasi)
{
    const OpzioniLocate nessuna{}, ci{.ignoraMaiuscole = true}, parz{.chiaveParziale = true},
        entrambe{.ignoraMaiuscole = true, .chiaveParziale = true};
    struct Caso {
        const char* descrizione;
        QString campi;
        QVariantList valori;
        OpzioniLocate opz;
        int soggetto;  // 0: not found, the cursor stays
    } casi[] = {
        {"esatto", QStringLiteral("Cognome"), {QStringLiteral("ROSA")}, nessuna, 20},
        {"esatto distingue le maiuscole", QStringLiteral("Cognome"), {QStringLiteral("rosa")}, nessuna, 0},
        {"senza maiuscole", QStringLiteral("Cognome"), {QStringLiteral("rosa")}, ci, 20},
        {"prefisso senza opzione non basta", QStringLiteral("Cognome"), {QStringLiteral("ROS")}, nessuna, 0},
        {"prefisso: il primo in ordine di chiave", QStringLiteral("Denominazione"), {QStringLiteral("ROS")}, parz, 20},
        {"prefisso distingue le maiuscole", QStringLiteral("Denominazione"), {QStringLiteral("ross")}, parz, 0},
        {"prefisso senza maiuscole", QStringLiteral("Denominazione"), {QStringLiteral("rossi")}, entrambe, 30},
        {"prefisso minuscolo su testo misto", QStringLiteral("Denominazione"), {QStringLiteral("ROSSIN")}, entrambe, 10},
        {"accenti", QStringLiteral("Nome"), {QStringLiteral("nicolò")}, ci, 60},
        {"apostrofo", QStringLiteral("Denominazione"), {QStringLiteral("D'AN")}, parz, 60},
        {"righe nascoste dal filtro non contano", QStringLiteral("Cognome"), {QStringLiteral("ROS")}, nessuna, 0},
        {"nessuna corrispondenza", QStringLiteral("Denominazione"), {QStringLiteral("ROSZ")}, entrambe, 0},
        {"vuoto trova solo il testo vuoto", QStringLiteral("CodFisc"), {QString()}, entrambe, 10},
        {"numero", QStringLiteral("Soggetto"), {40}, nessuna, 40},
        {"numero come testo", QStringLiteral("Soggetto"), {QStringLiteral("40")}, parz, 40},
        {"il prefisso non vale per i numeri", QStringLiteral("Soggetto"), {QStringLiteral("4")}, parz, 0},
        {"testo non numerico su un numero", QStringLiteral("Soggetto"), {QStringLiteral("quaranta")}, nessuna, 0},
        {"data", QStringLiteral("NData"), {QDate(1980, 5, 6)}, nessuna, 40},
        {"data come testo", QStringLiteral("NData"), {QStringLiteral("06/05/1980")}, nessuna, 40},
        {"più campi", QStringLiteral("Cognome;Nome"), {QStringLiteral("ROSSI"), QStringLiteral("MARIO")}, nessuna, 30},
        {"più campi, prefisso sull'ultimo", QStringLiteral("Cognome;Nome"), {QStringLiteral("ROSSI"), QStringLiteral("MA")}, parz, 30},
        {"il prefisso non vale per i primi campi", QStringLiteral("Cognome;Nome"), {QStringLiteral("ROSS"), QStringLiteral("MARIO")}, parz, 0},
        {"campo inesistente", QStringLiteral("Manca"), {QStringLiteral("X")}, nessuna, 0},
        {"valori in numero sbagliato", QStringLiteral("Cognome;Nome"), {QStringLiteral("ROSSI")}, nessuna, 0},
    };
    for (const Caso& c : casi) {
        elenco->vaiA(1);
        const qint64 prima = elenco->intero(u"Soggetto");
        const bool trovato = elenco->Locate(c.campi, c.valori, c.opz);
        EXPECT_EQ(trovato, c.soggetto != 0) << c.descrizione;
        EXPECT_EQ(elenco->intero(u"Soggetto"), c.soggetto ? c.soggetto : prima) << c.descrizione;
    }
}

TEST_F(LocateTest, IndiceAggiornatoDopoUnaNuovaApertura)
{
    ASSERT_FALSE(elenco->Locate(QStringLiteral("Cognome"), {QStringLiteral("VERDI")}));
    amb->soggetto(QStringLiteral("G479"), 9, 90, QStringLiteral("VERDI"), QStringLiteral("ADA"), QStringLiteral("V"));
    elenco->chiudi();
    elenco->apri();
    EXPECT_TRUE(elenco->Locate(QStringLiteral("Cognome"), {QStringLiteral("VERDI")}));
    EXPECT_EQ(elenco->intero(u"Soggetto"), 90);
}

TEST_F(LocateTest, NavigazioneESegnali)
{
    int spostamenti = 0;
    QObject::connect(elenco.get(), &DataSet::rigaCambiata, [&] { ++spostamenti; });
    EXPECT_EQ(elenco->righe(), 5);
    EXPECT_EQ(elenco->rigaCorrente(), 0);
    elenco->ultimo();
    EXPECT_EQ(elenco->intero(u"Soggetto"), 60);
    elenco->prossimo();  // stays on the last row
    EXPECT_EQ(elenco->rigaCorrente(), 4);
    elenco->primo();
    elenco->precedente();
    EXPECT_EQ(elenco->rigaCorrente(), 0);
    EXPECT_EQ(spostamenti, 2);
}

// --- the order of names -------------------------------------------------------------------

TEST(Collazione, OrdineDeiNomi)
{
    // the order a clerk expects in a register, top to bottom
    const QStringList atteso{
        QStringLiteral("CITTÀ NUOVA"),   // blank before letters, the accent not counting
        QStringLiteral("CITTADELLA"),
        QStringLiteral("CITTZ"),
        QStringLiteral("DAMIANI"),
        QStringLiteral("D'AMICO"),       // the apostrophe does not count...
        QStringLiteral("DAMICO"),        // ...and the exact text breaks the tie
        QStringLiteral("DE' MEDICI"),
        QStringLiteral("DE ROSA"),
        QStringLiteral("DEL MONTE"),
        QStringLiteral("DELLA VALLE"),
        QStringLiteral("NICOLO"),
        QStringLiteral("NICOLÒ"),
        QStringLiteral("nicolò"),
        QStringLiteral("NICOLOSI"),
        QStringLiteral("ROSSI MARIO"),
        QStringLiteral("Rossi Mario"),   // case does not count before the tie
        QStringLiteral("ROSSI MARIO GIUSEPPE"),
        QStringLiteral("ROSSINI"),
        QStringLiteral("ŠKODA"),
        QStringLiteral("ZANELLA"),
    };
    QStringList nomi = atteso;
    std::reverse(nomi.begin(), nomi.end());
    std::sort(nomi.begin(), nomi.end(), [](const QString& a, const QString& b) {
        return Collazione::confronta(a.toStdString(), b.toStdString()) < 0;
    });
    EXPECT_EQ(nomi, atteso);
    EXPECT_EQ(Collazione::confronta("ROSSI", "ROSSI"), 0);
    EXPECT_EQ(Collazione::chiave(QStringLiteral("D'Àlvaro Œ")), QStringLiteral("DALVARO OE"));

    // the database orders by it, and Locate's first match follows it
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    for (int i = 0; i < atteso.size(); ++i)
        a.soggetto(QStringLiteral("G479"), i, 100 + i, atteso[atteso.size() - 1 - i], QString(), QString());
    TdTabelle d;
    d.DataModuleCreate();
    Query q(d.ADOConnection1, QStringLiteral("q"));
    q.sql = {QStringLiteral("SELECT Cognome, Denominazione FROM tUnImm5_6"), QStringLiteral("ORDER BY tUnImm5_6.Cognome")};
    q.apri();
    QStringList ordinati;
    for (int r = 0; r < q.righe(); ++r)
        ordinati << q.testoRiga(r, 0);
    EXPECT_EQ(ordinati, atteso);
    const OpzioniLocate opz{.ignoraMaiuscole = true, .chiaveParziale = true};
    struct Caso {
        const char* cercato;
        const char* trovato;
    } casi[] = {{"CITT", "CITTÀ NUOVA"}, {"ross", "ROSSI MARIO"}, {"rossi mario", "ROSSI MARIO"},
                {"NICOLÒ", "NICOLÒ"}, {"D'A", "D'AMICO"}, {"DE", "DE' MEDICI"}};
    for (const Caso& c : casi) {
        q.ultimo();
        EXPECT_TRUE(q.Locate(QStringLiteral("Cognome"), {QString::fromUtf8(c.cercato)}, opz)) << c.cercato;
        EXPECT_EQ(q.testo(u"Cognome"), QString::fromUtf8(c.trovato)) << c.cercato;
    }
    // the list in another order: the search still takes the first by name
    q.chiudi();
    q.sql = {QStringLiteral("SELECT Cognome FROM tUnImm5_6 ORDER BY Soggetto DESC")};
    q.apri();
    EXPECT_TRUE(q.Locate(QStringLiteral("Cognome"), {QStringLiteral("ross")}, opz));
    EXPECT_EQ(q.testo(u"Cognome"), QStringLiteral("ROSSI MARIO"));
}

TEST(Collazione, SoloLeColonneDeiNomi)
{
    struct Caso {
        const char* sql;
        const char* atteso;
    } casi[] = {
        {"SELECT * FROM t ORDER BY tUnImm5_6.Denominazione", "SELECT * FROM t ORDER BY tUnImm5_6.Denominazione COLLATE NOMI"},
        {"SELECT *\nFROM tRsuTot\nORDER BY Cognome, Nome, NData\n",
         "SELECT *\nFROM tRsuTot\nORDER BY Cognome COLLATE NOMI, Nome COLLATE NOMI, NData\n"},
        {"SELECT * FROM t ORDER BY Soggetto", "SELECT * FROM t ORDER BY Soggetto"},
        {"SELECT * FROM t ORDER BY Nome DESC", "SELECT * FROM t ORDER BY Nome COLLATE NOMI DESC"},
        {"SELECT * FROM t ORDER BY Nome COLLATE BINARY", "SELECT * FROM t ORDER BY Nome COLLATE BINARY"},
        {"SELECT Nome FROM t", "SELECT Nome FROM t"},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(Collazione::ordinaNomi(QString::fromLatin1(c.sql)), QString::fromLatin1(c.atteso)) << c.sql;
}

// --- statements -------------------------------------------------------------------------

TEST(Comando, UnaSolaIstruzionePerTesto)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    // the tail would never run: refused, and nothing of the text has run
    for (const char* testo : {"DELETE FROM tRsuTot; DELETE FROM tParametri", "SELECT 1;\nDROP TABLE tRsuTot"}) {
        d.qGeneric.chiudi();
        d.qGeneric.sql = {QString::fromLatin1(testo)};
        EXPECT_THROW(d.qGeneric.eseguiSql(), Errore) << testo;
    }
    EXPECT_EQ(d.tParametri.righe(), 1);
    EXPECT_TRUE(d.connessione().esisteTabella(QStringLiteral("tRsuTot")));
    // a final semicolon or comment is no second statement
    d.qGeneric.sql = {QStringLiteral("SELECT COUNT(*) AS N FROM tParametri;"), QStringLiteral("-- fine")};
    d.qGeneric.apri();
    EXPECT_EQ(d.qGeneric.intero(u"N"), 1);
    d.qGeneric.chiudi();
}

TEST(Comando, SopravviveAllaConnessione)
{
    Ambiente a;
    auto d = std::make_unique<TdTabelle>();
    d->DataModuleCreate();
    Query q(d->ADOConnection1, QStringLiteral("q"));
    q.sql = {QStringLiteral("SELECT Nome FROM tComuni WHERE CodiceCat = :C")};
    q.parametri[QStringLiteral("C")] = QStringLiteral("G479");
    q.apri();
    EXPECT_EQ(q.testo(u"Nome").trimmed(), QStringLiteral("PESARO"));
    // reopened with another value: the same statement, the new row
    q.chiudi();
    q.parametri[QStringLiteral("C")] = QStringLiteral("H501");
    q.apri();
    EXPECT_EQ(q.testo(u"Nome").trimmed(), QStringLiteral("ROMA"));
    q.chiudi();
    // the connection closes and comes back: the kept statement is prepared anew
    d->ADOConnection1.chiudi();
    q.parametri[QStringLiteral("C")] = QStringLiteral("A944");
    q.apri();
    EXPECT_EQ(q.testo(u"Nome").trimmed(), QStringLiteral("BOLOGNA"));
    q.chiudi();
    d->ADOConnection1.chiudi();
    // and a query kept beyond its connection's end does no harm
}

// --- master/detail link ----------------------------------------------------------------

TEST_F(LocateTest, IlDettaglioSegueIlMaster)
{
    amb->sql(QStringLiteral("INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio) VALUES "
                            "('G479', '', 1, 1, 1, 'A'), ('G479', '', 1, 1, 2, 'B'), ('G479', '', 2, 1, 1, 'C'),"
                            "('G479', '', 2, 2, 1, 'X')"));
    Query dettaglio(dati->ADOConnection1, QStringLiteral("dettaglio"));
    dettaglio.sql = {QStringLiteral("SELECT Foglio FROM tUnImm2 WHERE Immobile = :Unita AND Progressivo = :Progressivo"),
                     QStringLiteral("ORDER BY ProgrRec")};
    int aperture = 0;
    dettaglio.primaDellApertura = [&](DataSet&) { ++aperture; };
    auto fogli = [&] {
        QStringList f;
        for (int r = 0; r < dettaglio.righe(); ++r)
            f << dettaglio.testoRiga(r, 0);
        return f.join(QLatin1Char(','));
    };
    elenco->chiudi();
    elenco->sql = {QStringLiteral("SELECT Codice, Soggetto, Immobile, Progressivo FROM tUnImm5_6 ORDER BY Soggetto")};
    elenco->apri();
    // the master stands on owner 30 (unit 1) as the link is made
    ASSERT_TRUE(elenco->Locate(QStringLiteral("Soggetto"), {30}));
    dettaglio.seguiMaster(*elenco, QStringLiteral("Immobile;Progressivo"), QStringLiteral("Unita;Progressivo"));
    EXPECT_EQ(fogli(), QStringLiteral("A,B"));
    EXPECT_EQ(dettaglio.rigaCorrente(), 0);
    elenco->Locate(QStringLiteral("Soggetto"), {20});  // unit 2, progressive 1
    EXPECT_EQ(fogli(), QStringLiteral("C"));
    elenco->Locate(QStringLiteral("Soggetto"), {10});  // unit 3: no identifiers
    EXPECT_TRUE(dettaglio.aperto());
    EXPECT_EQ(dettaglio.righe(), 0);
    EXPECT_EQ(aperture, 3);

    elenco->chiudi();  // closes with its master
    EXPECT_FALSE(dettaglio.aperto());
    elenco->impostaFiltro(QStringLiteral("Codice = 'NONE'"));
    elenco->apri();  // an empty master leaves it closed
    EXPECT_FALSE(dettaglio.aperto());
    elenco->chiudi();
    elenco->impostaFiltro(QStringLiteral("Codice = 'G479'"));
    elenco->apri();  // opens on the first owner (10, unit 3)
    EXPECT_TRUE(dettaglio.aperto());
    elenco->Locate(QStringLiteral("Soggetto"), {30});
    EXPECT_EQ(fogli(), QStringLiteral("A,B"));

    dettaglio.lasciaMaster();
    elenco->Locate(QStringLiteral("Soggetto"), {20});
    EXPECT_EQ(fogli(), QStringLiteral("A,B"));
}

// --- tables: append, edit, post, cancel ---------------------------------------------------

TEST(Tabella, ModificaRegistraAnnulla)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    d.tParametri.modifica();
    d.tParametri.impostaTesto(u"Nome", QString(60, QLatin1Char('N')));
    d.tParametri.annulla();
    EXPECT_EQ(d.tParametri.testo(u"Nome"), QString());

    d.tParametri.impostaTesto(u"Nome", QString(60, QLatin1Char('N')));  // begins the edit by itself
    d.tParametri.impostaTesto(u"Codice", QStringLiteral("H501"));
    d.tParametri.registra();
    TdTabelle altro;
    altro.DataModuleCreate();
    EXPECT_EQ(altro.tParametri.testo(u"Nome"), QString(50, QLatin1Char('N')));
    EXPECT_EQ(altro.codiceGestione(), QStringLiteral("H501"));
    EXPECT_EQ(altro.tParametri.righe(), 1);

    // a bad value raises, the row stays being built, nothing is stored
    d.tRsuTot.aggiungi();
    EXPECT_THROW(d.tRsuTot.impostaTesto(u"Codice", QStringLiteral("12x")), Errore);
    EXPECT_EQ(d.tRsuTot.stato(), DataSet::Stato::Inserimento);
    d.tRsuTot.impostaTesto(u"Cognome", QStringLiteral("ROSSI"));
    d.tRsuTot.annulla();
    EXPECT_EQ(d.tRsuTot.righe(), 0);
    d.tRsuTot.aggiungi();
    d.tRsuTot.impostaTesto(u"Codice", QStringLiteral(" 12"));
    d.tRsuTot.impostaTesto(u"NData", QStringLiteral("02/01/1970"));
    d.tRsuTot.registra();
    ASSERT_EQ(d.tRsuTot.righe(), 1);
    EXPECT_EQ(d.tRsuTot.intero(u"Codice"), 12);
    EXPECT_EQ(d.tRsuTot.testo(u"NData"), QStringLiteral("02/01/1970"));
    EXPECT_TRUE(d.tRsuTot.nullo(u"Ruolo"));
}

// A character outside the Basic Multilingual Plane is one character of four
// UTF-8 bytes whether the row is inserted or updated; a lone surrogate half,
// which no text should hold, is stored as U+FFFD both ways.
TEST(Tabella, TestoFuoriDalPianoDiBaseInInserimentoEModifica)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    const QString chiave = QStringLiteral("CITTÀ \U0001D11E \U0001F600");
    const QString solitario = QStringLiteral("A") + QChar(0xD800) + QStringLiteral("B");
    const QString sostituito = QStringLiteral("A\uFFFDB");

    d.tRsuTot.aggiungi();  // INSERT
    d.tRsuTot.impostaTesto(u"Cognome", chiave);
    d.tRsuTot.impostaTesto(u"Nome", solitario);
    d.tRsuTot.registra();
    d.tParametri.modifica();  // UPDATE
    d.tParametri.impostaTesto(u"Nome", chiave);
    d.tParametri.impostaTesto(u"Firma", solitario);
    d.tParametri.registra();

    const auto db = a.connessione();
    Comando c = db->prepara(QStringLiteral("SELECT Cognome, Nome FROM tRsuTot UNION ALL SELECT Nome, Firma FROM tParametri"));
    for (const char* come : {"INSERT", "UPDATE"}) {
        SCOPED_TRACE(come);
        ASSERT_TRUE(c.passo());
        EXPECT_EQ(c.testo(0), chiave);
        EXPECT_EQ(c.testo(1), sostituito);
        EXPECT_TRUE(std::string(c.utf8(0)).ends_with("\xF0\x9D\x84\x9E \xF0\x9F\x98\x80"))
            << QByteArray(c.utf8(0).data(), qsizetype(c.utf8(0).size())).toHex().toStdString();
    }
}

// Gathered rows (a bulk load) are written in groups as they come, all of
// them before anything reads the table, in order, and not at all once dropped.
TEST(Tabella, RigheAccumulate)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    const auto db = a.connessione();  // another workstation sees what is written
    auto scritte = [&] {
        Comando c = db->prepara(QStringLiteral("SELECT count(*) FROM tRsuTot"));
        c.passo();
        return int(c.intero(0));
    };
    auto aggiungi = [&](int da, int fino) {
        for (int i = da; i < fino; ++i) {
            d.tRsuTot.aggiungi();
            d.tRsuTot.impostaTesto(u"Codice", QString::number(i));
            d.tRsuTot.impostaTesto(u"NData", QStringLiteral("02/01/1970"));
            d.tRsuTot.registra();
        }
    };
    d.tRsuTot.chiudi();
    d.tRsuTot.apri();  // not loaded: rows can be gathered
    d.tRsuTot.accumula(true);
    // the buffer is bounded: groups go out long before the end
    int n = 0;
    while (scritte() == 0 && n < 200000) {
        aggiungi(n + 1, n + 1001);
        n += 1000;
    }
    aggiungi(n + 1, n + 2);
    ++n;
    EXPECT_GT(scritte(), 0);
    EXPECT_LT(scritte(), n);
    ASSERT_EQ(d.tRsuTot.righe(), n);  // reading writes them first, in order
    EXPECT_EQ(scritte(), n);
    Comando c = db->prepara(QStringLiteral("SELECT Codice FROM tRsuTot ORDER BY rowid"));
    int atteso = 0;
    while (c.passo() && c.intero(0) == atteso + 1)
        ++atteso;
    EXPECT_EQ(atteso, n);
    d.tRsuTot.ultimo();
    EXPECT_EQ(d.tRsuTot.testo(u"NData"), QStringLiteral("02/01/1970"));

    d.tRsuTot.chiudi();
    d.tRsuTot.apri();
    aggiungi(n + 1, n + 4);
    d.tRsuTot.scartaAccumulate();
    d.tRsuTot.accumula(false);
    EXPECT_EQ(scritte(), n);
}

}  // namespace
