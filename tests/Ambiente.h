#pragma once
// A fresh working directory with a delivered database for each test, on the
// engine under test: a database file of the embedded engine, or, when the
// environment variable SORVEL_PROVA_PG names a PostgreSQL server (the keys
// of a connection string without Provider and Database, for example
// "Host=localhost; Port=5432; User ID=sorvel; Password=..."), a database of
// its own on that server, dropped when the test ends. This file is the only
// place of the tests that knows which engine runs.

#include "Collegamento.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "DialettoPostgres.h"
#include "FileTesto.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <ostream>

// Readable test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace MotoreProva {

// The server's keys, or empty for the embedded engine.
inline QString server() { return qEnvironmentVariable("SORVEL_PROVA_PG").trimmed(); }
inline bool suServer() { return !server().isEmpty(); }

// The connection string of database `nome` on the server under test.
inline QString stringaServer(const QString& nome)
{
    return QStringLiteral("Provider=PostgreSQL; %1; Database=%2").arg(server(), nome);
}

inline ParametriConnessione parametri(const QString& stringa) { return StringaDiConnessione::analizza(stringa); }

// A statement on the server's maintenance database.
inline void amministra(const QString& sql)
{
    Connessione db(parametri(stringaServer(QStringLiteral("postgres"))), Connessione::Apertura::Esistente);
    db.esegui(sql);
}

// The delivered database made once on the server, copied for each test: its
// name changes with the schema, so a server kept between runs never hands a
// test an older one.
inline QString modello()
{
    QByteArray impronta = DialettoPostgres::creaFunzioneNomi().toUtf8();
    for (const DefTabella& t : Schema::tabelle())
        for (const DefCampo& c : t.campi)
            impronta += (t.nome + c.nome + QString::number(int(c.tipo)) + QString::number(c.larghezza)).toUtf8();
    for (const DefIndice& i : Schema::indici())
        for (const ColonnaIndice& c : i.colonne)
            impronta += (i.nome + c.nome + QString::number(c.nomi)).toUtf8();
    const QString nome = QStringLiteral("sorvel_modello_") +
                         QString::fromLatin1(QCryptographicHash::hash(impronta, QCryptographicHash::Sha1).toHex().left(12));
    // one process makes it while the others wait (a session lock on the
    // maintenance database)
    Connessione db(parametri(stringaServer(QStringLiteral("postgres"))), Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("SELECT pg_advisory_lock(7305)"));
    Comando c = db.prepara(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"));
    c.lega(1, QVariant(nome));
    if (!c.passo())
        DatabaseConsegnato::crea(parametri(stringaServer(nome)), false);
    c.azzera();
    db.esegui(QStringLiteral("SELECT pg_advisory_unlock(7305)"));
    return nome;
}

}  // namespace MotoreProva

struct Ambiente {
    QTemporaryDir dir;
    QString prima = QDir::currentPath();
    QString stringa;  // the connection string of sorvel.ini
    QString nomeDb;   // the test's database on the server

    explicit Ambiente(bool conDatabase = true)
    {
        QDir::setCurrent(dir.path());
        if (conDatabase) {
            if (MotoreProva::suServer()) {
                static std::atomic<int> numero{0};
                nomeDb = QStringLiteral("sorvel_prova_%1_%2").arg(QCoreApplication::applicationPid()).arg(++numero);
                const QString modello = MotoreProva::modello();
                MotoreProva::amministra(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nomeDb));
                MotoreProva::amministra(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(nomeDb, modello));
                stringa = MotoreProva::stringaServer(nomeDb);
            } else {
                DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), false);
                stringa = QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb");
            }
            ScriviFileTesto(QStringLiteral("sorvel.ini"), stringa + QStringLiteral("\r\n"));
        }
        qputenv("SORVEL_XFER", dir.path().toUtf8() + "/xfer/");
    }
    ~Ambiente()
    {
        QDir::setCurrent(prima);
        if (!nomeDb.isEmpty()) {
            try {
                MotoreProva::amministra(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nomeDb));
            } catch (...) {
            }
        }
    }

    // Another connection to the test's database, as a second workstation has.
    std::unique_ptr<Connessione> connessione(const QString& aggiunte = {}) const
    {
        QString s = stringa;
        if (!aggiunte.isEmpty())
            s += QStringLiteral("; ") + aggiunte;
        if (nomeDb.isEmpty())
            s.replace(QStringLiteral("Data Source=sorvel.mdb"),
                      QStringLiteral("Data Source=") + dir.filePath(QStringLiteral("sorvel.mdb")));
        return std::make_unique<Connessione>(MotoreProva::parametri(s), Connessione::Apertura::Esistente);
    }

    void sql(const QString& s) { connessione()->esegui(s); }
    // From now on the database refuses, with `messaggio`, a new row of
    // `tabella` for which `condizione` (on NEW) holds: a fault of the engine.
    void rifiuta(const QString& tabella, const QString& condizione, const QString& messaggio)
    {
        if (nomeDb.isEmpty())
            sql(QStringLiteral("CREATE TRIGGER rifiuta BEFORE INSERT ON %1 WHEN %2 BEGIN SELECT RAISE(ABORT, '%3'); END")
                    .arg(tabella, condizione, messaggio));
        else
            sql(QStringLiteral("CREATE FUNCTION rifiuta() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION "
                               "'%3'; END $$; CREATE TRIGGER rifiuta BEFORE INSERT ON %1 FOR EACH ROW WHEN (%2) "
                               "EXECUTE FUNCTION rifiuta()")
                    .arg(tabella, condizione, messaggio));
    }
    void codice(const QString& c)
    {
        QString q = c;
        q.replace(QLatin1Char('\''), QLatin1String("''"));
        sql(QStringLiteral("UPDATE tParametri SET Codice = '%1'").arg(q));
    }
    // One owner row of a unit; surname and name cut to their columns, as
    // the data layer stores them (the full name stays whole).
    void soggetto(const QString& codice, int immobile, int soggetto, const QString& cognome, const QString& nome,
                  const QString& codFisc, const QString& nData = QStringLiteral("1970-01-02"))
    {
        const auto db = connessione();
        Comando c = db->prepara(QStringLiteral(
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
            "Cognome, Nome, NData, NLuogo, CodFisc) VALUES (?, '', ?, 1, 1, 'F', ?, ?, ?, ?, ?, 'H501', ?)"));
        const QVariantList v{codice, immobile,       soggetto, cognome + QLatin1Char(' ') + nome, cognome.left(50),
                             nome.left(50), nData, codFisc};
        for (int i = 0; i < v.size(); ++i)
            c.lega(i + 1, v[i]);
        c.esegui();
    }
};
