// Benchmark of the supply import on a PostgreSQL server against what an
// administrator could do by hand: psql's \copy of the same rows, already
// split into columns, into the same tables with the same indexes, in one
// transaction.
//
//   bench_import_pg [UNITA=200000] [--forma semplice|ricca] [--ripetizioni N=3] [--server CHIAVI]
//
// CHIAVI are the server's keys of a connection string without Provider and
// Database ("Host=127.0.0.1; Port=5432; User ID=sorvel; Password=..."); by
// default SORVEL_PROVA_PG. The benchmark makes and drops databases
// bench_sorvel_import and bench_sorvel_psql there. Import and psql run in
// turn, N times each, each on a freshly made delivered database; the figures
// are medians, the ratio the median of each pair's ratio. Times are wall
// clock: most of the work is the server's.

#include "Collegamento.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Processo.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Processo::esegui;
using Processo::Esecuzione;

const char* const tabelle[] = {"tUnImm1", "tUnImm2", "tUnImm3", "tUnImm4", "tUnImm5_6", "tUnImm9"};

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QString chiavi;

QString stringa(const QString& db) { return QStringLiteral("Provider=PostgreSQL; %1; Database=%2").arg(chiavi, db); }

// The libpq connection string of psql, from the same keys.
std::string conninfo(const QString& db)
{
    const ParametriConnessione p = StringaDiConnessione::analizza(stringa(db));
    QString r;
    for (const auto& [k, v] : p.server) {
        QString q = v;
        q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        q.replace(QLatin1Char('\''), QLatin1String("\\'"));
        r += QStringLiteral("%1='%2' ").arg(k, q);
    }
    return r.toStdString();
}

void nuovoDatabase(const QString& db)
{
    {
        Connessione m(StringaDiConnessione::analizza(stringa(QStringLiteral("postgres"))), Connessione::Apertura::Esistente);
        m.esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db));
    }
    DatabaseConsegnato::crea(StringaDiConnessione::analizza(stringa(db)), true);
    Connessione c(StringaDiConnessione::analizza(stringa(db)), Connessione::Apertura::Esistente);
    c.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
}

QString colonne(const char* tabella)
{
    QStringList c;
    for (const DefCampo& f : Schema::tabella(QString::fromLatin1(tabella))->campi)
        c << f.nome;
    return c.join(QStringLiteral(", "));
}

void scriviScript(const QString& file, const QString& testo)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(testo.toUtf8()) < 0)
        throw Errore(QStringLiteral("script non scrivibile: ") + file);
}

bool misura(const char* forma, int unita, int ripetizioni)
{
    std::printf("\n=== forma %s: %d unità ===\n", forma, unita);
    const Esecuzione g = esegui({SORVEL_GENERA, "fornitura.txt", std::to_string(unita), "G479", "--forma", forma});
    if (g.codice != 0)
        throw Errore(QStringLiteral("genera_fornitura non riuscito"));
    std::printf("fornitura: %.1f MB\n", QFile(QStringLiteral("fornitura.txt")).size() / 1e6);

    const QString dbImport = QStringLiteral("bench_sorvel_import"), dbPsql = QStringLiteral("bench_sorvel_psql");
    ScriviFileTesto(QStringLiteral("sorvel.ini"), stringa(dbImport) + QStringLiteral("\r\n"));
    auto importa = [&] {
        nuovoDatabase(dbImport);
        const Esecuzione e = esegui({SORVEL_CLI, "import", "fornitura.txt"});
        if (e.codice != 0)
            throw Errore(QStringLiteral("sorvel-cli import non riuscito"));
        return e;
    };
    std::vector<Esecuzione> importi{importa()};

    // the rows the import stored, in psql's own text format, and the script
    // that loads them back
    QString esporta, carica;
    for (const char* t : tabelle) {
        esporta += QStringLiteral("\\copy (SELECT %1 FROM %2 ORDER BY rowid) TO '%2.tsv'\n").arg(colonne(t), QLatin1String(t));
        carica += QStringLiteral("\\copy %1 (%2) FROM '%1.tsv'\n").arg(QLatin1String(t), colonne(t));
    }
    scriviScript(QStringLiteral("esporta.sql"), esporta);
    scriviScript(QStringLiteral("carica.sql"), carica);
    if (esegui({"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-f", "esporta.sql", conninfo(dbImport)}).codice != 0)
        throw Errore(QStringLiteral("psql: esportazione non riuscita"));
    qint64 righe = 0;
    for (const char* t : tabelle) {
        LettoreTesto l(QStringLiteral("%1.tsv").arg(QLatin1String(t)));
        QByteArray r;
        while (!l.fine()) {
            l.leggiRigaByte(r);
            if (!r.isEmpty())
                ++righe;
        }
    }
    auto psql = [&] {
        nuovoDatabase(dbPsql);
        const Esecuzione e =
            esegui({"psql", "-X", "-q", "-1", "-v", "ON_ERROR_STOP=1", "-f", "carica.sql", conninfo(dbPsql)});
        if (e.codice != 0)
            throw Errore(QStringLiteral("psql \\copy non riuscito"));
        return e;
    };

    std::vector<Esecuzione> copie;
    std::vector<double> rapporti;
    for (int i = 0; i < ripetizioni; ++i) {
        copie.push_back(psql());
        if (i > 0)
            importi.push_back(importa());
        rapporti.push_back(copie.back().secondi / importi.back().secondi);
    }
    {
        Connessione m(StringaDiConnessione::analizza(stringa(QStringLiteral("postgres"))), Connessione::Apertura::Esistente);
        for (const QString& db : {dbImport, dbPsql})
            m.esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db));
    }

    auto med = [](const std::vector<Esecuzione>& v, double Esecuzione::*m) {
        std::vector<double> x;
        for (const Esecuzione& e : v)
            x.push_back(e.*m);
        return mediana(x);
    };
    const double tImp = med(importi, &Esecuzione::secondi), tPsql = med(copie, &Esecuzione::secondi);
    long picco = 0;
    for (const Esecuzione& e : importi)
        picco = std::max(picco, e.piccoKb);
    std::printf("righe memorizzate: %lld\n", righe);
    std::printf("mediane di %d esecuzioni alternate           tempo   cpu del client\n", ripetizioni);
    std::printf("sorvel-cli import ......... %6.2f s %6.2f s  %8.0f righe/s  RSS massima %ld MiB\n", tImp,
                med(importi, &Esecuzione::cpu), righe / tImp, picco / 1024);
    std::printf("psql \\copy delle righe .... %6.2f s %6.2f s  %8.0f righe/s\n", tPsql, med(copie, &Esecuzione::cpu),
                righe / tPsql);
    const double r = mediana(rapporti);
    std::printf("\nobiettivo (forma %s): import / \\copy  tempo %.2f (almeno 1.00) %s\n", forma, r, r >= 1.0 ? "OK" : "NO");
    return r >= 1.0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<const char*> pos;
    std::vector<const char*> forme{"semplice", "ricca"};
    int ripetizioni = 3;
    chiavi = qEnvironmentVariable("SORVEL_PROVA_PG");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--forma" && i + 1 < argc) {
            const std::string f = argv[++i];
            if (f == "semplice" || f == "ricca")
                forme = {f == "ricca" ? "ricca" : "semplice"};
            else if (f != "entrambe")
                return std::fprintf(stderr, "forma sconosciuta: %s\n", f.c_str()), 2;
        } else if (a == "--ripetizioni" && i + 1 < argc) {
            ripetizioni = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--server" && i + 1 < argc) {
            chiavi = QString::fromLocal8Bit(argv[++i]);
        } else {
            pos.push_back(argv[i]);
        }
    }
    if (chiavi.trimmed().isEmpty())
        return std::fprintf(stderr, "manca il server: --server CHIAVI oppure SORVEL_PROVA_PG\n"), 2;
    const int unita = !pos.empty() ? std::atoi(pos[0]) : 200000;
    QTemporaryDir tmp;
    QDir::setCurrent(tmp.path());
    bool tutti = true;
    try {
        std::printf("bench_import_pg: %d unità\n", unita);
        for (const char* f : forme)
            tutti = misura(f, unita, ripetizioni) && tutti;
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
    return tutti ? 0 : 1;
}
