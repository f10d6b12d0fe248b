// The supply import: record lines and the rows they store, the municipality
// check, atomicity, re-imports, other municipalities' lines.

#include "Ambiente.h"
#include "Errore.h"
#include "ImportaFile.h"
#include "RecordFornitura.h"
#include "dmTabelle.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

class Importa : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
    }
    // Writes `righe` (Windows-1252, CR LF) and imports them.
    RisultatoImport importa(const QStringList& righe, const char* nome = "f.txt")
    {
        scrivi(righe, nome);
        return ImportaFile(*dati, QString::fromLatin1(nome));
    }
    static void scrivi(const QStringList& righe, const char* nome)
    {
        QString t;
        for (const QString& r : righe)
            t += r + QStringLiteral("\r\n");
        ScriviFileTesto(QString::fromLatin1(nome), t);
    }
    // The stored rows of a table as "col=value" texts, columns in table order.
    QStringList righe(const QString& tabella, const QString& colonne, const QString& dove = QString())
    {
        const auto db = amb->connessione();
        // in the order stored; an aggregate is one row of its own
        const bool aggregato = colonne.startsWith(QLatin1String("count("), Qt::CaseInsensitive);
        Comando c = db->prepara(QStringLiteral("SELECT %1 FROM %2 %3%4")
                                    .arg(colonne, tabella, dove, aggregato ? QString() : QStringLiteral(" ORDER BY rowid")));
        QStringList r;
        while (c.passo()) {
            QStringList v;
            for (int i = 0; i < c.colonne(); ++i)
                v << (c.tipo(i) == Comando::Tipo::Nullo ? QStringLiteral("NULL") : c.testo(i));
            r << v.join(QLatin1Char('|'));
        }
        return r;
    }
    static QString riepilogo(const QString& codice = QStringLiteral("G479"))
    {
        // TotUIU above 6: field 5 reading 1 to 6 would make it a unit record
        return codice + QStringLiteral("||9|30112026|8|SOG|1|");
    }
    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
};

TEST_F(Importa, RigheERecord)
{
    struct Caso {
        const char* descrizione;
        QString riga;
        const char* tabella;
        const char* colonne;
        QStringList attese;
    } casi[] = {
        {"unità", QStringLiteral("G479|A|12|3|1|A02|1|95|1|X|1|0|2|L|E|S|I1|I2|P1|P2|P3|P4|altro|"), "tUnImm1", "*",
         {QStringLiteral("G479|A|12|3|A02|1|95|1|X|1|0|2|L|E|S|I1|I2|P1|P2|P3|P4")}},
        {"BeneComune 0, 2 o vuoto è falso", QStringLiteral("G479||12|1|1|A02|2||||||||||||||||"), "tUnImm1",
         "BeneComune, Superficie, EsitoSup", {QStringLiteral("0|NULL|")}},
        {"tre identificativi", QStringLiteral("G479||12|1|2|U|1|10|2|5|E|V|2|20||6||W|3|30||7||"), "tUnImm2",
         "ProgrRec, SezUrbana, Foglio, Numero, Denominatore, Subalterno, Edificialita",
         {QStringLiteral("1|U|1|10|2|5|E"), QStringLiteral("2|V|2|20|NULL|6|"), QStringLiteral("3|W|3|30|NULL|7|")}},
        {"un gruppo con lettera nel denominatore è saltato",
         QStringLiteral("G479||12|1|2||1|10||5|||2|20|X|6|||3|30||7||"), "tUnImm2", "ProgrRec, Foglio",
         {QStringLiteral("1|1"), QStringLiteral("2|3")}},
        // group 0 is attempted: "$" in Denominatore fails it, silently
        {"identificativi su una riga di cinque campi", QStringLiteral("G479||12|1|2|"), "tUnImm2",
         "ProgrRec", {}},
        {"un campo di testo mancante vale \"$\"", QStringLiteral("G479||12|1|1|A02|0|95|1||0|0|0|"), "tUnImm1",
         "Riscontro, Lotto, Piano4", {QStringLiteral("0|$|$")}},
        {"indirizzo", QStringLiteral("G479||12|1|3|7|VIA|DELL'ABBAZIA|1234|5|B||2|DEL. 3|CENTRO||61121|"), "tUnImm3",
         "ProgrRec, CodiceTop, Toponimo, Denominazione, Strada, Civico1, Civico2, Civico3, Fonte, Delibera, Localita, KM, CAP",
         {QStringLiteral("1|7|VIA|DELL'ABBAZIA|1234|5|B||2|DEL. 3|CENTRO|NULL|61121")}},
        {"ambienti", QStringLiteral("G479||12|1|4|A|80|270|300|B|12|||"), "tUnImm4",
         "ProgrRec, Ambiente, SupAmbiente, Altezza, MaxAltezza",
         {QStringLiteral("1|A|80|270|300"), QStringLiteral("2|B|12|NULL|NULL")}},
        {"persona fisica", QStringLiteral("G479||12|1|5|77|ROSSI|MARIO|1|31121950|H501|RSSMRA50T31H501X|A|01022003|5|6|"),
         "tUnImm5_6", "ProgrRec, Tipo, Soggetto, Denominazione, SedeSoggetto, Cognome, Nome, Sesso, NData, NLuogo, CodFisc, SedeAutorita, AggData, Numero, Repertorio",
         {QStringLiteral("1|F|77|ROSSI MARIO|NULL|ROSSI|MARIO|M|1950-12-31|H501|RSSMRA50T31H501X|A|2003-02-01|5|6")}},
        {"donna, nome vuoto, data vuota", QStringLiteral("G479||12|1|5|78|BIANCHI||2||||||||"), "tUnImm5_6",
         "Denominazione, Sesso, NData", {QStringLiteral("BIANCHI |F|NULL")}},
        {"sesso vuoto è M", QStringLiteral("G479||12|1|5|79|VERDI|ANNA||||||||||"), "tUnImm5_6", "Sesso",
         {QStringLiteral("M")}},
        {"cognome di 60 caratteri tagliato a 50",
         QStringLiteral("G479||12|1|5|80|") + QString(60, QLatin1Char('C')) + QStringLiteral("|N||||||||||"),
         "tUnImm5_6", "length(Cognome), length(Denominazione)", {QStringLiteral("50|52")}},
        {"persona giuridica", QStringLiteral("G479||12|1|6|90|L'ARCOBALENO S.R.L.|G479|01234567890|B|15062001|7|8|"),
         "tUnImm5_6", "Tipo, Soggetto, Denominazione, SedeSoggetto, Cognome, CodFisc, SedeAutorita, AggData, Numero, Repertorio",
         {QStringLiteral("G|90|L'ARCOBALENO S.R.L.|G479|NULL|01234567890|B|2001-06-15|7|8")}},
        {"accenti Windows-1252", QStringLiteral("G479||12|1|6|91|CITTÀ NUOVA|||||||"), "tUnImm5_6",
         "Denominazione, CodFisc", {QStringLiteral("CITTÀ NUOVA|")}},
        {"riepilogo", QStringLiteral("G479||9|30112026|300|SOG|1|IND|2|ES1|3|ES2|4|ES3|5|ES4|6|RIS|7|IST|8|RPL|9|"),
         "tUnImm9", "EData, TotUIU, Tipo1, Valore9, Tipo10, Valore10, DesTipo1, DesTipo9, DesTipo10",
         {QStringLiteral("2026-11-30|300|SOG|9|NULL|NULL|Soggetti forniti dall'Agenzia o oggetto di proposta di "
                         "aggiornamento da parte del Comune|Unità immobiliari per le quali è stato richiesto al "
                         "contribuente di presentare la planimetria|NULL")}},
        {"un codice fuori posto non ha descrizione", QStringLiteral("G479||9|30112026|10|IND|1|SOG|2|"), "tUnImm9",
         "Tipo1, DesTipo1, DesTipo2", {QStringLiteral("IND|NULL|NULL")}},
        {"riepilogo di più di 25 campi: i campi oltre il 25° ignorati",
         QStringLiteral("G479||9|30112026|10|SOG|1|IND|2|ES1|3|ES2|4|ES3|5|ES4|6|RIS|7|IST|8|RPL|9|XX|10|A|B|C|D|E|F|G|H|I|J|K|"),
         "tUnImm9", "Tipo10, Valore10, substr(DesTipo1, 1, 8), DesTipo10", {QStringLiteral("XX|10|Soggetti|NULL")}},
        {"il campo 5 vince sul campo 3", QStringLiteral("G479||9|3011|1|A02|||||||||||||||||"), "tUnImm1",
         "Immobile, Progressivo, Categoria", {QStringLiteral("9|3011|A02")}},
        {"tipo sconosciuto o riga vuota: niente", QStringLiteral("G479||12|1|7|X|"), "tUnImm1", "count(*)",
         {QStringLiteral("0")}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        importa({QString(), c.riga, riepilogo()});
        QString dove;
        if (QLatin1String(c.tabella) == QLatin1String("tUnImm9"))
            dove = QStringLiteral("WHERE TotUIU <> 8 OR Tipo1 <> 'SOG' OR Tipo1 IS NULL");
        EXPECT_EQ(righe(QString::fromLatin1(c.tabella), QString::fromLatin1(c.colonne), dove), c.attese);
    }
}

TEST_F(Importa, ProgrRecContinuaTraRigheEFile)
{
    // another municipality's rows of a unit with the same number count for that unit only;
    // the same unit of this municipality keeps counting across lines and tables separately
    amb->sql(QStringLiteral("INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec) VALUES ('H501', '', 12, 1, 9)"));
    importa({QStringLiteral("G479||12|1|2||1|10||5|||2|20||6||"), QStringLiteral("G479||12|1|3||VIA|A||||||||||"),
             QStringLiteral("G479||12|1|2||3|30||7||"), QStringLiteral("G479||0012|1|2||4|40||8||"),
             QStringLiteral("G479||13|1|2||5|50||9||"), QStringLiteral("G479||12|1|5|1|A|B|||||||||"),
             QStringLiteral("G479||12|1|6|2|C||||||||"),
             // unit 12 again after another unit: its rows so far, not yet written, still count
             QStringLiteral("G479||12|1|2||6|60||10||"), riepilogo()});
    EXPECT_EQ(righe(QStringLiteral("tUnImm2"), QStringLiteral("Codice, Immobile, ProgrRec, Foglio")),
              (QStringList{QStringLiteral("H501|12|9|NULL"), QStringLiteral("G479|12|1|1"), QStringLiteral("G479|12|2|2"),
                           QStringLiteral("G479|12|3|3"), QStringLiteral("G479|12|4|4"), QStringLiteral("G479|13|1|5"),
                           QStringLiteral("G479|12|5|6")}));
    EXPECT_EQ(righe(QStringLiteral("tUnImm3"), QStringLiteral("ProgrRec")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("ProgrRec, Tipo")),
              (QStringList{QStringLiteral("1|F"), QStringLiteral("2|G")}));
}

TEST_F(Importa, ControlloDelComune)
{
    struct Caso {
        const char* descrizione;
        QByteArray contenuto;
        bool passa;
    } casi[] = {
        {"ultima riga del comune", "H501||12|1|1|A02|||||||||||||||||\r\nG479||9|30112026|8|\r\n", true},
        {"minuscole", "g479||9|30112026|8|\r\n", false},
        {"riga vuota in fondo", "G479||9|30112026|8|\r\n\r\n", false},
        {"file vuoto", "", false},
        {"Ctrl-Z dopo l'ultima riga", "G479||9|30112026|8|\r\n\x1a", true},
        {"senza a capo finale", "G479||9|30112026|8|", true},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        QFile f(QStringLiteral("c.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contenuto);
        f.close();
        amb->sql(QStringLiteral("DELETE FROM tUnImm9; INSERT INTO tUnImm9 (Codice, TotUIU) VALUES ('G479', 77)"));
        if (c.passa) {
            EXPECT_NO_THROW(ImportaFile(*dati, QStringLiteral("c.txt")));
            EXPECT_EQ(righe(QStringLiteral("tUnImm9"), QStringLiteral("TotUIU")), QStringList{QStringLiteral("8")});
        } else {
            EXPECT_THROW(ImportaFile(*dati, QStringLiteral("c.txt")), ComuneNonCorrisponde);
            EXPECT_EQ(righe(QStringLiteral("tUnImm9"), QStringLiteral("TotUIU")), QStringList{QStringLiteral("77")});
        }
    }
    // an empty file passes only for an empty managing municipality's code
    amb->codice(QString());
    dati->tParametri.chiudi();
    dati->tParametri.apri();
    QFile(QStringLiteral("c.txt")).open(QIODevice::WriteOnly | QIODevice::Truncate);
    EXPECT_EQ(ImportaFile(*dati, QStringLiteral("c.txt")).righe, 1);
    EXPECT_THROW(ImportaFile(*dati, QStringLiteral("manca.txt")), Errore);
}

TEST_F(Importa, ErroreAllaRiga100LasciaLaFornituraPrecedente)
{
    QStringList prima;
    for (int i = 0; i < 20; ++i)
        prima << QStringLiteral("G479||%1|1|5|%1|VECCHIO|%1|||||||||").arg(i);
    importa(prima + QStringList{riepilogo()});
    const QStringList vecchie = righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*"));
    ASSERT_EQ(vecchie.size(), 20);

    QStringList nuova;
    for (int i = 1; i < 100; ++i)
        nuova << QStringLiteral("G479||%1|1|1|A02|0|50|1||||||||||||||").arg(i) << QStringLiteral("G479||%1|1|5|%1|NUOVO|X|||||||||").arg(i);
    nuova.removeLast();  // 98 lines after the loop's last owner are enough: make line 100 the bad one
    while (nuova.size() > 99)
        nuova.removeLast();
    nuova << QStringLiteral("G479||100|1|1|A02|0|12x|1||||||||||||||") << riepilogo();
    try {
        importa(nuova, "g.txt");
        FAIL() << "nessun errore";
    } catch (const Errore& e) {
        EXPECT_TRUE(e.testo().startsWith(QStringLiteral("Riga 100: "))) << e.testo().toStdString();
        EXPECT_TRUE(e.testo().contains(QStringLiteral("Superficie"))) << e.testo().toStdString();
        EXPECT_TRUE(e.testo().contains(QStringLiteral("'12x'"))) << e.testo().toStdString();
    }
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*")), vecchie);
    EXPECT_EQ(righe(QStringLiteral("tUnImm1"), QStringLiteral("count(*)")), QStringList{QStringLiteral("0")});
    EXPECT_EQ(dati->tUnImm5_6.righe(), 20);  // the views show the old supply again
}

// A failed run is undone before the supply views read the tables again: a
// view read as soon as it reopens (as a bound grid reads it) shows the
// previous supply, never the rows of the failed run.
TEST_F(Importa, LeTabelleRiapertePrimaDellAnnullamentoNonVedonoLaRigaFallita)
{
    importa({QStringLiteral("G479||1|1|5|1|VECCHIO|UNO|||||||||"), QStringLiteral("G479||2|1|5|2|VECCHIO|DUE|||||||||"),
             riepilogo()});
    QObject::connect(&dati->tUnImm5_6, &DataSet::datiCambiati, [&] { (void)dati->tUnImm5_6.righe(); });
    EXPECT_THROW(importa({QStringLiteral("G479||3|1|5|3|NUOVO|TRE|||||||||"), QStringLiteral("G479||4|1|5|x|NUOVO||||||||||"),
                          riepilogo()}),
                 Errore);
    ASSERT_EQ(dati->tUnImm5_6.righe(), 2);
    dati->tUnImm5_6.ultimo();
    EXPECT_EQ(dati->tUnImm5_6.testo(u"Denominazione"), QStringLiteral("VECCHIO DUE"));
}

// Rows are written many to a statement; when the database refuses such a
// group (here a trigger stands in for a full disk), its rows are lost with
// it, so the run ends and leaves the previous supply, even for identifier
// rows, whose own failing groups are skipped.
TEST_F(Importa, UnGruppoDiRigheRifiutatoDalDatabaseFermaLImport)
{
    importa({QStringLiteral("G479||1|1|2||9|90||1||"), riepilogo()});
    const QStringList vecchie = righe(QStringLiteral("tUnImm2"), QStringLiteral("*"));
    amb->rifiuta(QStringLiteral("tUnImm2"), QStringLiteral("NEW.Foglio = 'X'"), QStringLiteral("riga rifiutata"));
    QStringList f;
    for (int i = 1; i <= 40; ++i)
        f << QStringLiteral("G479||%1|1|2||%2|10||5||").arg(i).arg(i == 3 ? QStringLiteral("X") : QString::number(i));
    try {
        importa(f + QStringList{riepilogo()});
        FAIL() << "nessun errore";
    } catch (const Errore& e) {
        EXPECT_TRUE(e.testo().contains(QStringLiteral("riga rifiutata"))) << e.testo().toStdString();
    }
    EXPECT_EQ(righe(QStringLiteral("tUnImm2"), QStringLiteral("*")), vecchie);
}

TEST_F(Importa, DueVolteComeUnaEAltriComuni)
{
    amb->sql(QStringLiteral("INSERT INTO tUnImm5_6 (Codice, Immobile, Progressivo, ProgrRec, Soggetto) VALUES ('H501', 1, 1, 1, 5)"));
    const QStringList f{QStringLiteral("G479||1|1|2||1|10||5||"), QStringLiteral("G479||1|1|4|A|50|||"),
                        QStringLiteral("D488||2|1|5|9|ALTRO|COMUNE|||||||||"), QStringLiteral("G479||1|1|5|7|ROSSI|ANNA|2||||||||"),
                        riepilogo()};
    importa(f);
    const QStringList tutte = righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Codice, Soggetto, ProgrRec"));
    importa(f);
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Codice, Soggetto, ProgrRec")).size(), tutte.size() + 1)
        << "the other municipality's line is stored again, under its own code";
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Codice, Soggetto, ProgrRec"), QStringLiteral("WHERE Codice = 'G479'")),
              QStringList{QStringLiteral("G479|7|1")});
    EXPECT_EQ(righe(QStringLiteral("tUnImm2"), QStringLiteral("ProgrRec")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Codice, ProgrRec"), QStringLiteral("WHERE Codice <> 'G479'")),
              (QStringList{QStringLiteral("H501|1"), QStringLiteral("D488|1"), QStringLiteral("D488|2")}));
    // the managing municipality's views never show the other codes
    ASSERT_EQ(dati->tUnImm5_6.righe(), 1);
    EXPECT_EQ(dati->tUnImm5_6.intero(u"Soggetto"), 7);
}

// Killing the process in the middle of an import leaves the previous supply.
TEST_F(Importa, InterrottoDaSigkill)
{
    QStringList prima;
    for (int i = 0; i < 5; ++i)
        prima << QStringLiteral("G479||%1|1|5|%1|VECCHIO|X|||||||||").arg(i);
    importa(prima + QStringList{riepilogo()});
    const QStringList vecchie = righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*"));
    dati.reset();

    QProcess genera;
    genera.start(QStringLiteral(SORVEL_GENERA), {QStringLiteral("grande.txt"), QStringLiteral("150000")});
    ASSERT_TRUE(genera.waitForFinished(120000));
    QProcess cli;
    cli.setProcessChannelMode(QProcess::SeparateChannels);
    cli.start(QStringLiteral(SORVEL_CLI), {QStringLiteral("import"), QStringLiteral("grande.txt")});
    ASSERT_TRUE(cli.waitForStarted());
    // wait for the second pass to be well under way, then kill
    QByteArray err;
    while (!err.contains(" / ") && cli.state() == QProcess::Running) {
        cli.waitForReadyRead(200);
        err += cli.readAllStandardError();
    }
    ASSERT_TRUE(err.contains(" / ")) << err.toStdString();
    cli.kill();
    cli.waitForFinished();

    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*")), vecchie);
    EXPECT_EQ(righe(QStringLiteral("tUnImm1"), QStringLiteral("count(*)")), QStringList{QStringLiteral("0")});
}

// After the commit the log is folded back into sorvel.mdb: a copy of that one
// file, taken while the program still runs, holds the new supply.
TEST_F(Importa, CopiaDelSoloDatabaseCompleta)
{
    if (MotoreProva::suServer())
        GTEST_SKIP() << "il registro e la copia del file riguardano il database in un file";
    importa({QStringLiteral("G479||1|1|5|7|ROSSI|ANNA|2||||||||"), riepilogo()});
    EXPECT_EQ(QFileInfo(QStringLiteral("sorvel.mdb-wal")).size(), 0);
    ASSERT_TRUE(QFile::copy(QStringLiteral("sorvel.mdb"), QStringLiteral("copia.mdb")));
    {
        Connessione copia(QStringLiteral("copia.mdb"), Connessione::Apertura::Esistente);
        Comando c = copia.prepara(QStringLiteral("SELECT Cognome FROM tUnImm5_6"));
        ASSERT_TRUE(c.passo());
        EXPECT_EQ(c.testo(0), QStringLiteral("ROSSI"));
    }

    // Another workstation still reading the older state keeps the log in use:
    // the supply is committed all the same, and the run says that a copy
    // needs the log too.
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb; Busy Timeout=0\r\n"));
    TdTabelle d;
    d.DataModuleCreate();
    Connessione altra(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
    Comando lettura = altra.prepara(QStringLiteral("SELECT Nome FROM tComuni"));
    ASSERT_TRUE(lettura.passo());
    scrivi({QStringLiteral("G479||1|1|5|8|VERDI|ANNA|2||||||||"), riepilogo()}, "g.txt");
    const RisultatoImport r = ImportaFile(d, QStringLiteral("g.txt"));
    EXPECT_TRUE(r.avvisoRegistro.contains(QStringLiteral("\"sorvel.mdb-wal\""))) << r.avvisoRegistro.toStdString();
    EXPECT_TRUE(r.avvisoRegistro.contains(QStringLiteral("in uso da un'altra postazione"))) << r.avvisoRegistro.toStdString();
    lettura.azzera();
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Cognome")), QStringList{QStringLiteral("VERDI")});
}

// A disk that fills up during the load: the line where it happened, the
// clerk's sentence, and the previous supply intact.
TEST_F(Importa, DiscoPienoNominaLaRiga)
{
    if (MotoreProva::suServer())
        GTEST_SKIP() << "il disco pieno si simula sul database in un file";
    importa({QStringLiteral("G479||1|1|5|7|ROSSI|ANNA|2||||||||"), riepilogo()});
    const QStringList vecchie = righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*"));
    Comando pagine = dati->connessione().prepara(QStringLiteral("SELECT page_count FROM pragma_page_count"));
    ASSERT_TRUE(pagine.passo());
    // the database may grow by a few pages only, as on a nearly full disk
    dati->connessione().esegui(QStringLiteral("PRAGMA max_page_count = %1").arg(pagine.intero(0) + 4));
    pagine.azzera();
    QStringList f;
    for (int i = 1; i <= 3000; ++i)
        f << QStringLiteral("G479||%1|1|5|%1|COGNOME%1|NOME|2||||||||").arg(i);
    f << riepilogo();
    try {
        importa(f, "g.txt");
        FAIL() << "nessun errore";
    } catch (const Errore& e) {
        const auto m = QRegularExpression(QStringLiteral("^Riga (\\d+): Il disco del database \"sorvel.mdb\" è pieno: "
                                                         "liberare spazio e riprovare\\. Dettaglio tecnico: "))
                           .match(e.testo());
        ASSERT_TRUE(m.hasMatch()) << e.testo().toStdString();
        EXPECT_GT(m.captured(1).toInt(), 1);
        EXPECT_LE(m.captured(1).toInt(), 3000);
    }
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("*")), vecchie);
}

// A supply saved again by an editor as UTF-8 with the byte-order mark.
TEST_F(Importa, FileRisalvatoInUtf8)
{
    QFile f(QStringLiteral("u.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF" + QStringLiteral("G479||1|1|5|7|ROSSI|NICCOLÒ|2||||||||\r\n").toUtf8() +
            riepilogo().toUtf8() + "\r\n");
    f.close();
    ImportaFile(*dati, QStringLiteral("u.txt"));
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Codice, Nome")), QStringList{QStringLiteral("G479|NICCOLÒ")});
}

// A line without end stops the run before the database is touched.
TEST_F(Importa, RigaTroppoLungaPrimaDiToccareIlDatabase)
{
    importa({QStringLiteral("G479||1|1|5|7|ROSSI|ANNA|2||||||||"), riepilogo()});
    scrivi({QStringLiteral("G479||2|1|5|8|VERDI|ANNA|2||||||||"), QString(100000, QLatin1Char('|')), riepilogo()}, "g.txt");
    try {
        ImportaFile(*dati, QStringLiteral("g.txt"));
        FAIL() << "nessun errore";
    } catch (const Errore& e) {
        EXPECT_TRUE(e.testo().startsWith(QStringLiteral("Riga 2 troppo lunga"))) << e.testo().toStdString();
    }
    EXPECT_EQ(righe(QStringLiteral("tUnImm5_6"), QStringLiteral("Cognome")), QStringList{QStringLiteral("ROSSI")});
}

// A file cut short by a failed copy passes the municipality check (every line
// begins with the code): the run says so, with both counts.
TEST_F(Importa, AvvisoSeIlRiepilogoNonTorna)
{
    auto unita = [](int n) {
        QStringList r;
        for (int i = 1; i <= n; ++i)
            r << QStringLiteral("G479||%1|1|1|A02|0|50|1||||||||||||||").arg(i);
        return r;
    };
    struct Caso {
        const char* descrizione;
        QStringList righe;
        QStringList parole;  // none: no warning
    } casi[] = {
        {"TotUIU uguale alle unità", unita(8) << riepilogo(), {}},
        {"TotUIU diverso", unita(2) << riepilogo(), {QStringLiteral("dichiara 8 unità"), QStringLiteral("ne contiene 2")}},
        {"ultima riga non riepilogo", unita(2),
         {QStringLiteral("l'ultima riga del file non è il riepilogo"), QStringLiteral("unità nel file: 2")}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        const QString avviso = AvvisoRiepilogo(importa(c.righe));
        EXPECT_EQ(avviso.isEmpty(), c.parole.isEmpty()) << avviso.toStdString();
        for (const QString& p : c.parole)
            EXPECT_TRUE(avviso.contains(p)) << avviso.toStdString();
    }
}

}  // namespace
