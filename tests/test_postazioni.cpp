// Several workstations on one database server: a server that cannot be
// reached or refuses the login, a connection lost in the middle of an import,
// and two clerks writing at once.

#include "Ambiente.h"
#include "Errore.h"
#include "ErroreDatabase.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port where something accepts connections and never says a word: a server
// that hangs, or a firewall that swallows the packets.
class PortaMuta {
public:
    PortaMuta()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), n) != 0 || ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0)
            return;
        porta_ = ntohs(a.sin_port);
    }
    ~PortaMuta()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int porta() const { return porta_; }

private:
    int fd_ = -1;
    int porta_ = 0;
};

ErroreDatabase erroreApertura(const QString& stringa)
{
    try {
        Connessione db(MotoreProva::parametri(stringa), Connessione::Apertura::Esistente);
    } catch (const ErroreDatabase& e) {
        return e;
    }
    return ErroreDatabase(CondizioneDb::Altro, QStringLiteral("(nessun errore)"));
}

// The server's keys with one of them changed.
QString conChiave(const QString& chiave, const QString& valore)
{
    QStringList parti;
    for (const QString& p : MotoreProva::server().split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!p.trimmed().startsWith(chiave + QLatin1Char('='), Qt::CaseInsensitive))
            parti << p.trimmed();
    parti << chiave + QLatin1Char('=') + valore;
    return QStringLiteral("Provider=PostgreSQL; ") + parti.join(QStringLiteral("; "));
}

TEST(Postazioni, ServerCheNonSiRaggiungeONonAccetta)
{
    const PortaMuta muta;
    ASSERT_NE(muta.porta(), 0);
    struct Caso {
        const char* descrizione;
        bool serveIlServer;
        QString stringa;
        CondizioneDb attesa;
        const char* frase;
    } casi[] = {
        // nothing listens on port 1 of this machine
        {"porta sbagliata", false,
         QStringLiteral("Provider=PostgreSQL; Host=127.0.0.1; Port=1; Database=sorvel; User ID=x; Password=y"),
         CondizioneDb::ServerNonRaggiungibile, "controllare che il server sia acceso"},
        {"server che non risponde", false,
         QStringLiteral("Provider=PostgreSQL; Host=127.0.0.1; Port=%1; Database=sorvel; User ID=x; Password=y; "
                        "connect_timeout=2")
             .arg(muta.porta()),
         CondizioneDb::ServerNonRaggiungibile, "Host e Port in sorvel.ini"},
        {"password sbagliata", true, conChiave(QStringLiteral("Password"), QStringLiteral("sbagliata")) +
                                         QStringLiteral("; Database=postgres"),
         CondizioneDb::AccessoNegato, "controllare User ID e Password"},
        {"utente sconosciuto", true, conChiave(QStringLiteral("User ID"), QStringLiteral("nessuno")) +
                                         QStringLiteral("; Database=postgres"),
         CondizioneDb::AccessoNegato, "controllare User ID e Password"},
        {"database mancante", true, MotoreProva::stringaServer(QStringLiteral("sorvel_che_non_esiste")),
         CondizioneDb::DatabaseMancante, "crearlo con sorvel-cli init-db"},
    };
    for (const Caso& c : casi) {
        if (c.serveIlServer && !MotoreProva::suServer())
            continue;
        SCOPED_TRACE(c.descrizione);
        const ErroreDatabase e = erroreApertura(c.stringa);
        EXPECT_EQ(e.condizione(), c.attesa) << e.testo().toStdString();
        EXPECT_TRUE(e.testo().contains(QString::fromUtf8(c.frase))) << e.testo().toStdString();
        EXPECT_TRUE(e.testo().contains(QStringLiteral("sul server 127.0.0.1:"))) << e.testo().toStdString();
    }

    // sorvel-cli says the same and ends with 1
    const Ambiente amb(false);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), casi[0].stringa + QStringLiteral("\r\n"));
    QProcess cli;
    cli.start(QStringLiteral(SORVEL_CLI), {QStringLiteral("confronto"), QStringLiteral("1")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("Impossibile raggiungere il database \"sorvel\" sul server 127.0.0.1:1")))
        << err.toStdString();
}

// Two workstations on the test's database: processes of sorvel-cli, each in
// a folder of its own with its own sorvel.ini.
class DuePostazioni : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!MotoreProva::suServer())
            GTEST_SKIP() << "più postazioni sullo stesso database riguardano il server";
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        importa(QStringLiteral("."), fornitura(QStringLiteral("VECCHIO"), 3));
        ASSERT_EQ(cognomi(), QStringList(3, QStringLiteral("VECCHIO")));
    }
    void TearDown() override
    {
        for (auto& p : processi) {
            p->kill();
            p->waitForFinished();
        }
        blocco.reset();
    }

    static QString fornitura(const QString& cognome, int soggetti)
    {
        QString t;
        for (int i = 1; i <= soggetti; ++i)
            t += QStringLiteral("G479||%1|1|5|%1|%2|X|||||||||\r\n").arg(i).arg(cognome);
        return t + QStringLiteral("G479||9|30112026|8|SOG|1|\r\n");
    }
    // A workstation's folder: its sorvel.ini (the test's database, with
    // `aggiunte`) and a supply file.
    QString postazione(const QString& nome, const QString& aggiunte, const QString& testo)
    {
        QDir().mkpath(nome);
        ScriviFileTesto(nome + QStringLiteral("/sorvel.ini"), amb->stringa + aggiunte + QStringLiteral("\r\n"));
        ScriviFileTesto(nome + QStringLiteral("/f.txt"), testo);
        return QDir(nome).absolutePath();
    }
    QProcess& avvia(const QString& cartella, const QStringList& argomenti)
    {
        processi.push_back(std::make_unique<QProcess>());
        QProcess& p = *processi.back();
        p.setWorkingDirectory(cartella);
        p.start(QStringLiteral(SORVEL_CLI), argomenti);
        EXPECT_TRUE(p.waitForStarted());
        return p;
    }
    void importa(const QString& cartella, const QString& testo)
    {
        ScriviFileTesto(cartella + QStringLiteral("/f.txt"), testo);
        QProcess& p = avvia(cartella, {QStringLiteral("import"), QStringLiteral("f.txt")});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    // What a third workstation reads meanwhile: the owners' surnames.
    QStringList cognomi()
    {
        const auto db = amb->connessione();
        Comando c = db->prepara(QStringLiteral("SELECT Cognome FROM tUnImm5_6 ORDER BY Soggetto"));
        QStringList r;
        while (c.passo())
            r << c.testo(0);
        return r;
    }
    qint64 conta(const QString& sql)
    {
        const auto db = amb->connessione();
        Comando c = db->prepara(sql);
        return c.passo() ? c.intero(0) : -1;
    }
    // Waits until `sql` counts at least one row; false after a minute.
    bool attendi(const QString& sql, QProcess* vivo = nullptr)
    {
        for (int i = 0; i < 600; ++i) {
            if (conta(sql) > 0)
                return true;
            if (vivo && vivo->state() != QProcess::Running)
                return false;
            QThread::msleep(100);
        }
        return false;
    }
    // The rows of the old supply locked, as an open transaction of another
    // workstation would hold them: an import blocks at its first delete,
    // after it has taken the writers' lock, until blocco ends.
    void bloccaLeRighe()
    {
        blocco = amb->connessione();
        blocco->esegui(QStringLiteral("BEGIN; SELECT Soggetto FROM tUnImm5_6 FOR UPDATE"));
    }
    // The first import, started and blocked in the middle of its transaction.
    QProcess& primoImportBloccato()
    {
        bloccaLeRighe();
        QProcess& a = avvia(postazione(QStringLiteral("a"), {}, fornitura(QStringLiteral("NUOVO"), 5)),
                            {QStringLiteral("import"), QStringLiteral("f.txt")});
        EXPECT_TRUE(attendi(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                           "AND application_name = 'Sorvel' AND wait_event_type = 'Lock'"),
                            &a))
            << a.readAllStandardError().toStdString();
        return a;
    }

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<Connessione> blocco;
    std::vector<std::unique_ptr<QProcess>> processi;
};

// While one import runs, a second one (or a roll load) waits for it and then
// runs whole after it, or, told not to wait, fails with the clerk's words;
// a reader sees the previous supply until the first commits.
TEST_F(DuePostazioni, UnaScritturaAllaVolta)
{
    QProcess& a = primoImportBloccato();
    EXPECT_EQ(cognomi(), QStringList(3, QStringLiteral("VECCHIO"))) << "the import's deletions are not seen before it commits";

    // not waiting: refused at once, in the clerk's words
    QByteArray ruolo = QByteArray("     1") + QByteArray(70, ' ') + "RSSMRA\r\n";
    const QString subito = postazione(QStringLiteral("subito"), QStringLiteral("; Busy Timeout=0"),
                                      fornitura(QStringLiteral("INTRUSO"), 2));
    ScriviFileTesto(subito + QStringLiteral("/ruolo.txt"), QString::fromLatin1(ruolo));
    for (const QStringList& comando : {QStringList{QStringLiteral("import"), QStringLiteral("f.txt")},
                                       QStringList{QStringLiteral("verify"), QStringLiteral("ruolo.txt")}}) {
        SCOPED_TRACE(comando.join(QLatin1Char(' ')).toStdString());
        QProcess& p = avvia(subito, comando);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QStringLiteral("in uso da un'altra postazione"))) << err.toStdString();
    }

    // waiting: the second import queues behind the writers' lock
    QProcess& b = avvia(postazione(QStringLiteral("b"), {}, fornitura(QStringLiteral("SECONDO"), 4)),
                        {QStringLiteral("import"), QStringLiteral("f.txt")});
    ASSERT_TRUE(attendi(QStringLiteral("SELECT count(*) FROM pg_locks l JOIN pg_database d ON d.oid = l.database "
                                       "WHERE d.datname = current_database() AND l.locktype = 'advisory' AND NOT "
                                       "l.granted"),
                        &b))
        << b.readAllStandardError().toStdString();
    EXPECT_EQ(cognomi(), QStringList(3, QStringLiteral("VECCHIO")));

    blocco->esegui(QStringLiteral("ROLLBACK"));
    ASSERT_TRUE(a.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_TRUE(b.waitForFinished(60000));
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    // the second import replaced the first one whole: nothing of either mixed
    EXPECT_EQ(cognomi(), QStringList(4, QStringLiteral("SECONDO")));
    EXPECT_EQ(conta(QStringLiteral("SELECT count(*) FROM tUnImm5_6 WHERE ProgrRec <> 1")), 0);
}

// The server stops serving the import's connection in the middle of its
// transaction (an administrator's shutdown, a lost network): the import ends
// with 1 and says so, and the previous supply is intact.
TEST_F(DuePostazioni, ConnessionePersaDuranteLImport)
{
    QProcess& a = primoImportBloccato();
    ASSERT_EQ(conta(QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE datname = "
                                   "current_database() AND application_name = 'Sorvel' AND wait_event_type = 'Lock'")),
              1);
    ASSERT_TRUE(a.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 1);
    const QString err = QString::fromUtf8(a.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("si è interrotta (server arrestato o rete assente)"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("non sono state salvate"))) << err.toStdString();
    blocco->esegui(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(cognomi(), QStringList(3, QStringLiteral("VECCHIO")));

    // the next run connects again and works
    importa(QStringLiteral("a"), fornitura(QStringLiteral("NUOVO"), 2));
    EXPECT_EQ(cognomi(), QStringList(2, QStringLiteral("NUOVO")));
}

// Every table of a database, row by row in the order stored, values as text.
QStringList contenuto(const QString& stringa)
{
    Connessione db(MotoreProva::parametri(stringa), Connessione::Apertura::Esistente);
    QStringList r;
    for (const DefTabella& t : Schema::tabelle()) {
        QStringList colonne;
        for (const DefCampo& c : t.campi)
            colonne << c.nome;
        Comando c = db.prepara(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(colonne.join(QLatin1Char(',')), t.nome));
        while (c.passo()) {
            QStringList v;
            for (int i = 0; i < c.colonne(); ++i)
                v << (c.tipo(i) == Comando::Tipo::Nullo ? QStringLiteral("NULL") : c.testo(i));
            r << t.nome + QLatin1Char(':') + v.join(QLatin1Char('|'));
        }
    }
    return r;
}

int copia(const QString& da, const QString& a, bool force, QString* err = nullptr)
{
    QStringList arg{QStringLiteral("copia"), QStringLiteral("--da"), da, QStringLiteral("--a"), a};
    if (force)
        arg << QStringLiteral("--force");
    QProcess p;
    p.start(QStringLiteral(SORVEL_CLI), arg);
    if (!p.waitForFinished(120000))
        return -1;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}

// From the database under test to a file, from that file to a new database
// of the engine under test (a new database on the server): the three hold
// the same rows in the same order, down to nulls, dates, padded codes and
// texts with the characters a bulk load must escape.
TEST(Copia, AndataERitornoConTabelleIdentiche)
{
    Ambiente amb;
    amb.codice(QStringLiteral("G479"));
    amb.soggetto(QStringLiteral("G479"), 1, 7, QStringLiteral("D'ARCO"), QStringLiteral("NICOLÒ\\t\tX"),
                 QStringLiteral("DRCNCL50B01G479X"), QStringLiteral("1950-02-01"));
    amb.sql(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, BeneComune, Superficie) VALUES "
                           "('G479', 'A', 1, 1, 1, 60), ('G479', '', 2, 1, 0, NULL);"
                           "INSERT INTO tRsuTot (Codice, Cognome, NData, Superficie, Presente) VALUES "
                           "(3, 'ROSSI', '1961-12-31', 70, 'S'), (4, NULL, NULL, NULL, NULL)"));
    const QStringList origine = contenuto(amb.stringa);
    ASSERT_GT(origine.size(), 7900);

    QDir().mkpath(QStringLiteral("file"));
    ScriviFileTesto(QStringLiteral("file/sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=copia.mdb\r\n"));
    QString ritorno = QStringLiteral("Provider=SQLite; Data Source=") + amb.dir.filePath(QStringLiteral("ritorno.mdb"));
    QString dbRitorno;
    if (MotoreProva::suServer()) {
        dbRitorno = amb.nomeDb + QStringLiteral("_ritorno");
        ritorno = MotoreProva::stringaServer(dbRitorno);
    }
    QDir().mkpath(QStringLiteral("ritorno"));
    ScriviFileTesto(QStringLiteral("ritorno/sorvel.ini"), ritorno + QStringLiteral("\r\n"));

    QString err;
    EXPECT_EQ(copia(QStringLiteral("sorvel.ini"), QStringLiteral("file/sorvel.ini"), false, &err), 0) << err.toStdString();
    EXPECT_EQ(copia(QStringLiteral("file/sorvel.ini"), QStringLiteral("ritorno/sorvel.ini"), false, &err), 0)
        << err.toStdString();
    EXPECT_EQ(contenuto(QStringLiteral("Provider=SQLite; Data Source=") + amb.dir.filePath(QStringLiteral("file/copia.mdb"))),
              origine);
    EXPECT_EQ(contenuto(ritorno), origine);

    // a target with data is replaced only when told; a database is never its own copy
    amb.sql(QStringLiteral("DELETE FROM tRsuTot WHERE Codice = 4"));
    EXPECT_EQ(copia(QStringLiteral("sorvel.ini"), QStringLiteral("ritorno/sorvel.ini"), false, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("contiene già dei dati: usare --force"))) << err.toStdString();
    EXPECT_EQ(contenuto(ritorno), origine);
    EXPECT_EQ(copia(QStringLiteral("sorvel.ini"), QStringLiteral("ritorno/sorvel.ini"), true, &err), 0) << err.toStdString();
    EXPECT_EQ(contenuto(ritorno), contenuto(amb.stringa));
    EXPECT_EQ(copia(QStringLiteral("sorvel.ini"), QStringLiteral("sorvel.ini"), true, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("sono lo stesso"))) << err.toStdString();
    EXPECT_EQ(contenuto(amb.stringa).size(), origine.size() - 1);

    if (!dbRitorno.isEmpty())
        MotoreProva::amministra(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(dbRitorno));
}

// A database just made by init-db holds no data of the office: the copy
// fills it without --force.
TEST(Copia, NelDatabaseAppenaCreato)
{
    Ambiente amb;
    amb.codice(QStringLiteral("G479"));
    DatabaseConsegnato::crea(QStringLiteral("nuovo.mdb"), false);
    ScriviFileTesto(QStringLiteral("nuovo.ini"), QStringLiteral("Provider=SQLite; Data Source=nuovo.mdb\r\n"));
    QString err;
    ASSERT_EQ(copia(QStringLiteral("sorvel.ini"), QStringLiteral("nuovo.ini"), false, &err), 0) << err.toStdString();
    EXPECT_EQ(contenuto(QStringLiteral("Provider=SQLite; Data Source=") + amb.dir.filePath(QStringLiteral("nuovo.mdb"))),
              contenuto(amb.stringa));
}

}  // namespace
