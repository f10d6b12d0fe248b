// Faults an office meets: a damaged, locked or read-only database, a
// sorvel.ini that cannot be read, files that are not text files. Each reaches
// the clerk as an Italian sentence saying what to do, never as a success.

#include "Ambiente.h"
#include "ErroreDatabase.h"
#include "dmTabelle.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <new>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// These faults are the database file's: the tests run on the embedded engine
// whichever engine the other tests are run against (the server's faults are
// in test_server).
const bool soloFile = (qunsetenv("SORVEL_PROVA_PG"), true);

struct Uscita {
    int codice = -1;
    QString out, err;
};

// sorvel-cli in `cartella`; `prefisso` runs it through another program (setpriv).
Uscita cli(const QString& cartella, const QStringList& arg, const QStringList& prefisso = {})
{
    QProcess p;
    p.setWorkingDirectory(cartella);
    const QStringList tutti = prefisso + QStringList{QStringLiteral(SORVEL_CLI)} + arg;
    p.start(tutti.front(), tutti.mid(1));
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Overwrites the root page of `tabella` with garbage, as a disk fault would.
void danneggia(const QString& file, const QString& tabella)
{
    qint64 pagina = 0, dimensione = 0;
    {
        Connessione db(file, Connessione::Apertura::Esistente);
        Comando c = db.prepara(QStringLiteral("SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                                              "FROM sqlite_master WHERE name = ?"));
        c.lega(1, QVariant(tabella));
        ASSERT_TRUE(c.passo());
        pagina = c.intero(0);
        dimensione = c.intero(1);
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek((pagina - 1) * dimensione));
    f.write(QByteArray(qsizetype(dimensione), '\x55'));
}

QString nomeParametri()
{
    Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
    Comando c = db.prepara(QStringLiteral("SELECT Nome FROM tParametri"));
    return c.passo() ? c.testo(0) : QStringLiteral("<nessuna riga>");
}

}  // namespace

TEST(MessaggiMotore, UnaFraseItalianaPerCondizione)
{
    struct Caso {
        int codice;
        CondizioneDb condizione;
        const char* parole;  // what the sentence must say
    } casi[] = {
        {SQLITE_BUSY, CondizioneDb::InUso, "in uso da un'altra postazione"},
        {SQLITE_BUSY_SNAPSHOT, CondizioneDb::InUso, "riprovare"},
        {SQLITE_LOCKED, CondizioneDb::InUso, "in uso"},
        {SQLITE_READONLY, CondizioneDb::SolaLettura, "sola lettura"},
        {SQLITE_READONLY_CANTINIT, CondizioneDb::SolaLettura, "sola lettura"},
        {SQLITE_FULL, CondizioneDb::DiscoPieno, "è pieno: liberare spazio"},
        {SQLITE_IOERR, CondizioneDb::ErroreDisco, "Errore del disco"},
        {SQLITE_IOERR_WRITE, CondizioneDb::ErroreDisco, "Errore del disco"},
        {SQLITE_CORRUPT, CondizioneDb::Danneggiato, "danneggiato: ripristinare una copia"},
        {SQLITE_CORRUPT_INDEX, CondizioneDb::Danneggiato, "danneggiato"},
        {SQLITE_NOTADB, CondizioneDb::NonDatabase, "non è un database"},
        {SQLITE_CANTOPEN, CondizioneDb::NonApribile, "Impossibile aprire"},
        {SQLITE_NOMEM, CondizioneDb::Memoria, "Memoria insufficiente"},
        {SQLITE_IOERR_NOMEM, CondizioneDb::Memoria, "Memoria insufficiente"},
        {SQLITE_PERM, CondizioneDb::Permesso, "permessi"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.codice);
        const ErroreDatabase e = ErroriDatabase::errore(c.codice, QStringLiteral("the engine's words"),
                                                        QStringLiteral("/non/esiste/sorvel.mdb"));
        EXPECT_EQ(e.condizione(), c.condizione);
        EXPECT_TRUE(e.testo().contains(QString::fromUtf8(c.parole))) << e.testo().toStdString();
        // the engine's text stays, after the sentence, for the technician
        EXPECT_TRUE(e.testo().endsWith(QStringLiteral(". Dettaglio tecnico: the engine's words"))) << e.testo().toStdString();
    }
    // a fault of the program itself keeps the engine's words alone
    const ErroreDatabase sintassi = ErroriDatabase::errore(SQLITE_ERROR, QStringLiteral("near \"x\": syntax error"), {});
    EXPECT_EQ(sintassi.condizione(), CondizioneDb::Altro);
    EXPECT_EQ(sintassi.testo(), QStringLiteral("near \"x\": syntax error"));
    // and the run-time's shortage of memory reads like the engine's
    EXPECT_TRUE(TestoEccezione(std::bad_alloc()).startsWith(QStringLiteral("Memoria insufficiente")));
}

TEST(Guasti, PaginaDanneggiataNonPassaPerComuneMancante)
{
    Ambiente a;
    danneggia(QStringLiteral("sorvel.mdb"), QStringLiteral("tComuni"));

    // A data set over the damaged table: the search raises, every time, and
    // never reports a municipality as missing.
    {
        TdTabelle d;
        d.leggiConfigurazione();
        d.tParametri.apri();
        d.tComuni.apri();
        for (int i = 0; i < 2; ++i) {
            try {
                d.tComuni.trova(QStringLiteral("Nome"), {QStringLiteral("MILANO")});
                ADD_FAILURE() << "nessun errore";
            } catch (const ErroreDatabase& e) {
                EXPECT_EQ(e.condizione(), CondizioneDb::Danneggiato);
            }
        }
        EXPECT_THROW(d.tComuni.righe(), ErroreDatabase);
        // start-up reads the list, so every command stops on the damage
        TdTabelle avvio;
        EXPECT_THROW(avvio.DataModuleCreate(), ErroreDatabase);
    }

    const QString prima = nomeParametri();
    for (const QStringList& arg : {QStringList{QStringLiteral("params"), QStringLiteral("--nome"), QStringLiteral("MILANO")},
                                   QStringList{QStringLiteral("confronto"), QStringLiteral("7")}}) {
        const Uscita u = cli(a.dir.path(), arg);
        EXPECT_EQ(u.codice, 1) << u.out.toStdString();
        EXPECT_TRUE(u.err.contains(QStringLiteral("è danneggiato: ripristinare una copia di sicurezza"))) << u.err.toStdString();
    }
    EXPECT_EQ(nomeParametri(), prima);
}

TEST(Guasti, DatabaseInUsoAttendeQuantoConfigurato)
{
    using namespace std::chrono;
    Ambiente a;
    Connessione altra(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);

    ScriviFileTesto(QStringLiteral("sorvel.ini"),
                    QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb; busy timeout = 0\r\n"));
    TdTabelle subito;
    subito.DataModuleCreate();
    altra.iniziaTransazione();  // another workstation's import holds the database
    const auto inizio = steady_clock::now();
    try {
        subito.connessione().esegui(QStringLiteral("UPDATE tParametri SET Fax = '1'"));
        ADD_FAILURE() << "nessun errore";
    } catch (const ErroreDatabase& e) {
        EXPECT_EQ(e.condizione(), CondizioneDb::InUso);
        EXPECT_TRUE(e.testo().startsWith(QStringLiteral("Il database \"sorvel.mdb\" è in uso da un'altra postazione")))
            << e.testo().toStdString();
        EXPECT_TRUE(e.testo().endsWith(QStringLiteral("database is locked"))) << e.testo().toStdString();
    }
    EXPECT_LT(steady_clock::now() - inizio, seconds(4));  // no fixed wait of its own
    altra.annullaTransazione();

    // with a wait, the other workstation's commit is waited for
    ScriviFileTesto(QStringLiteral("sorvel.ini"),
                    QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb; Busy Timeout=60\r\n"));
    TdTabelle paziente;
    paziente.DataModuleCreate();
    altra.iniziaTransazione();
    std::thread commit([&] {
        std::this_thread::sleep_for(milliseconds(300));
        altra.confermaTransazione();
    });
    EXPECT_NO_THROW(paziente.connessione().esegui(QStringLiteral("UPDATE tParametri SET Fax = '2'")));
    commit.join();
}

TEST(Guasti, IniEsistenteMaIlleggibileNonVieneRiscritto)
{
    Ambiente a;
    // a folder of that name: it exists, it cannot be read, it must stay
    QFile::remove(QStringLiteral("sorvel.ini"));
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("sorvel.ini")));
    TdTabelle d;
    try {
        d.leggiConfigurazione();
        ADD_FAILURE() << "nessun errore";
    } catch (const Errore& e) {
        EXPECT_TRUE(e.testo().contains(QStringLiteral("sorvel.ini"))) << e.testo().toStdString();
        EXPECT_TRUE(e.testo().contains(QStringLiteral("cartella"))) << e.testo().toStdString();
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("sorvel.ini")).isDir());
    EXPECT_TRUE(d.StringaConnessione.isEmpty());

    // saved again by an editor with the UTF-8 mark: the mark is no part of the provider
    ASSERT_TRUE(QDir().rmdir(QStringLiteral("sorvel.ini")));
    QFile ini(QStringLiteral("sorvel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("\xEF\xBB\xBFProvider=SQLite; Data Source=sorvel.mdb\r\n");
    ini.close();
    TdTabelle conMarca;
    EXPECT_NO_THROW(conMarca.DataModuleCreate());
    EXPECT_EQ(conMarca.StringaConnessione, QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb"));
}

#ifdef Q_OS_UNIX
// Permissions bind root only through another user: as root the program runs
// as "nobody" through setpriv.
TEST(Guasti, SolaLetturaNominaIlFileDaSistemare)
{
    Ambiente a;
    QStringList prefisso;
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "setpriv manca: da root i permessi non si possono provare";
        prefisso = {setpriv, QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")};
        for (const char* f : {"", "/sorvel.mdb", "/sorvel.ini"})
            ASSERT_EQ(::chown((a.dir.path() + QLatin1String(f)).toLocal8Bit().constData(), 65534, 65534), 0);
    }
    const QString dir = a.dir.path();
    auto permessi = [&](const char* file, mode_t m) {
        ASSERT_EQ(::chmod((dir + QLatin1Char('/') + QLatin1String(file)).toLocal8Bit().constData(), m), 0);
    };
    const QStringList params{QStringLiteral("params"), QStringLiteral("--nome"), QStringLiteral("ROMA")};
    auto errore = [&] {
        const Uscita u = cli(dir, params, prefisso);
        EXPECT_EQ(u.codice, 1) << u.out.toStdString();
        return u.err;
    };

    permessi("sorvel.mdb", 0444);
    QString e = errore();
    EXPECT_TRUE(e.startsWith(QStringLiteral("Il database \"sorvel.mdb\" è di sola lettura"))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("attempt to write a readonly database"))) << e.toStdString();

    // that run left a read-only -shm: the database stays unwritable once fixed
    permessi("sorvel.mdb", 0644);
    ASSERT_TRUE(QFileInfo::exists(dir + QStringLiteral("/sorvel.mdb-shm")));
    e = errore();
    EXPECT_TRUE(e.startsWith(QStringLiteral("Il file \"sorvel.mdb-shm\" è rimasto di sola lettura"))) << e.toStdString();
    permessi("sorvel.mdb-shm", 0644);
    permessi("sorvel.mdb-wal", 0644);
    EXPECT_EQ(cli(dir, params, prefisso).codice, 0);

    // a read-only folder: no log can be made beside the database
    QFile::remove(dir + QStringLiteral("/sorvel.mdb-shm"));
    QFile::remove(dir + QStringLiteral("/sorvel.mdb-wal"));
    permessi("", 0555);
    e = errore();
    permessi("", 0755);
    EXPECT_TRUE(e.startsWith(QStringLiteral("La cartella \"%1\" del database è di sola lettura").arg(dir))) << e.toStdString();

    // an unreadable sorvel.ini is named and kept, never replaced by the default
    permessi("sorvel.ini", 0);
    e = errore();
    permessi("sorvel.ini", 0644);
    EXPECT_TRUE(e.contains(QStringLiteral("sorvel.ini"))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("permesso di lettura negato"))) << e.toStdString();
    QFile ini(dir + QStringLiteral("/sorvel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), QByteArray("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
}
#endif

TEST(FileTesto, RigaTroppoLungaInMemoriaLimitata)
{
    Ambiente a(false);
    struct Caso {
        qsizetype lunghezza;
        bool passa;
    } casi[] = {{LettoreTesto::rigaMassima, true}, {LettoreTesto::rigaMassima + 1, false}};
    for (const Caso& c : casi) {
        ScriviFileTesto(QStringLiteral("t.txt"), QStringLiteral("prima\r\n") + QString(c.lunghezza, QLatin1Char('x')) +
                                                      QStringLiteral("\r\nultima\r\n"));
        LettoreTesto l(QStringLiteral("t.txt"));
        l.leggiRiga();
        if (c.passa) {
            EXPECT_EQ(l.leggiRiga().size(), c.lunghezza);
            EXPECT_EQ(l.leggiRiga(), QStringLiteral("ultima"));
        } else {
            try {
                l.leggiRiga();
                ADD_FAILURE() << "nessun errore";
            } catch (const Errore& e) {
                EXPECT_TRUE(e.testo().startsWith(QStringLiteral("Riga 2 troppo lunga"))) << e.testo().toStdString();
            }
        }
    }
    // A gigabyte without a line break (a sparse file: no disk is used) fails
    // after one buffer of reading, holding no more than the limit.
    QFile enorme(QStringLiteral("enorme.txt"));
    ASSERT_TRUE(enorme.open(QIODevice::WriteOnly));
    ASSERT_TRUE(enorme.resize(qint64(1) << 30));
    enorme.close();
    LettoreTesto l(QStringLiteral("enorme.txt"));
    QByteArray riga;
    EXPECT_THROW(l.leggiRigaByte(riga), Errore);
    EXPECT_LE(l.posizione(), 2 << 20);
    EXPECT_LE(riga.capacity(), 2 * LettoreTesto::rigaMassima);
}

TEST(FileTesto, CartelleEPipeNonSonoFile)
{
    Ambiente a(false);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("cartella")));
    struct Caso {
        const char* file;
        const char* motivo;
    } casi[] = {
        {"manca.txt", "il file non esiste"},
        {"cartella", "è una cartella"},
#ifdef Q_OS_UNIX
        {"pipa", "non è un file ordinario"},  // opening it would wait for a writer for ever
#endif
    };
#ifdef Q_OS_UNIX
    ASSERT_EQ(::mkfifo("pipa", 0644), 0);
#endif
    for (const Caso& c : casi) {
        for (bool database : {false, true}) {
            try {
                if (database)
                    Connessione(QString::fromLatin1(c.file), Connessione::Apertura::Esistente);
                else
                    LettoreTesto(QString::fromLatin1(c.file));
                ADD_FAILURE() << "nessun errore per " << c.file;
            } catch (const Errore& e) {
                EXPECT_TRUE(e.testo().contains(QString::fromLatin1(c.file))) << e.testo().toStdString();
                EXPECT_TRUE(e.testo().contains(QString::fromUtf8(c.motivo))) << e.testo().toStdString();
            }
        }
    }
}
