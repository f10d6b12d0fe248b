// Benchmark of the supply import against two references on the same rows,
// the same tables and the same indexes:
//   (a) the raw ceiling: the stored rows inserted with one prepared statement
//       per table in one transaction, no parsing, no numbering;
//   (b) what a clerk could do by hand: the sqlite3 shell's .import of them.
//
//   bench_import [UNITA=200000] [CARTELLA] [--forma semplice|ricca|entrambe] [--ripetizioni N=3]
//
// The supply files come from genera_fornitura in its two shapes (by default
// both are measured, one after the other). The import runs as
// `sorvel-cli import` in a child process whose peak memory is reported.
// Import and shell run in turn, N times each, on a fresh database every
// time; the figures are medians, and the ratio is the median of the ratios
// of each pair, so that a machine whose speed drifts still compares fairly.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Processo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

namespace {

const char* const tabelle[] = {"tUnImm1", "tUnImm2", "tUnImm3", "tUnImm4", "tUnImm5_6", "tUnImm9"};

using Processo::esegui;
using Processo::Esecuzione;

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}


void nuovoDatabase(const QString& file)
{
    DatabaseConsegnato::crea(file, true);
    Connessione db(file, Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
}

using Valore = std::variant<std::monostate, qint64, std::string>;
struct Righe {
    int colonne = 0;
    std::vector<Valore> valori;
};

double cpuProcesso()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// One shape of supply: generates it, imports it, then times the references
// on the rows the import stored. False when a target is missed.
bool misura(const char* forma, int unita, int ripetizioni)
{
    std::printf("\n=== forma %s: %d unità ===\n", forma, unita);
    const Esecuzione g = esegui({SORVEL_GENERA, "fornitura.txt", std::to_string(unita), "G479", "--forma", forma});
    if (g.codice != 0)
        throw Errore(QStringLiteral("genera_fornitura non riuscito"));
    qint64 linee = 0;
    {
        LettoreTesto l(QStringLiteral("fornitura.txt"));
        QByteArray r;
        do {
            l.leggiRigaByte(r);
            ++linee;
        } while (!l.fine());
    }
    std::printf("fornitura: %lld righe, %.1f MB (generata in %.1f s)\n", linee,
                QFile(QStringLiteral("fornitura.txt")).size() / 1e6, g.secondi);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    auto importa = [] {
        QFile::remove(QStringLiteral("sorvel.mdb"));
        nuovoDatabase(QStringLiteral("sorvel.mdb"));
        const Esecuzione e = esegui({SORVEL_CLI, "import", "fornitura.txt"});
        if (e.codice != 0)
            throw Errore(QStringLiteral("sorvel-cli import non riuscito"));
        return e;
    };
    // the first import also yields the rows for the references
    std::vector<Esecuzione> importi{importa()};

    // the rows it stored, as CSV for the shell
    qint64 totale = 0;
    {
        Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
        for (const char* t : tabelle) {
            Comando c = db.prepara(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
            QFile csv(QStringLiteral("%1.csv").arg(QLatin1String(t)));
            if (!csv.open(QIODevice::WriteOnly))
                throw Errore(QStringLiteral("CSV non scrivibile"));
            QByteArray riga;
            while (c.passo()) {
                riga.clear();
                for (int i = 0; i < c.colonne(); ++i) {
                    if (i)
                        riga += ',';
                    if (c.tipo(i) == Comando::Tipo::Intero) {
                        riga += QByteArray::number(c.intero(i));
                    } else if (c.tipo(i) != Comando::Tipo::Nullo) {
                        const std::string_view u = c.utf8(i);
                        QByteArray q(u.data(), qsizetype(u.size()));
                        q.replace('"', "\"\"");
                        riga += '"' + q + '"';
                    }
                }
                csv.write(riga + '\n');
                ++totale;
            }
        }
    }

    // (b) the sqlite3 shell's .import
    {
        QFile s(QStringLiteral("import.sql"));
        if (!s.open(QIODevice::WriteOnly))
            throw Errore(QStringLiteral("script non scrivibile"));
        // the owner list's index keeps names in the NOMI order: the shell loads it too
        s.write(".load " SORVEL_NOMI "\nPRAGMA journal_mode=WAL;\nPRAGMA synchronous=NORMAL;\n");
        for (const char* t : tabelle)
            s.write(QByteArray(".import --csv ") + t + ".csv " + t + "\n");
    }
    auto shell = [] {
        QFile::remove(QStringLiteral("shell.mdb"));
        QFile::remove(QStringLiteral("shell.mdb-wal"));
        nuovoDatabase(QStringLiteral("shell.mdb"));
        const Esecuzione e = esegui({"sqlite3", "shell.mdb"}, "import.sql");
        if (e.codice != 0)
            throw Errore(QStringLiteral("sqlite3 .import non riuscito"));
        return e;
    };

    // in turn: shell, import, shell, import ...
    std::vector<Esecuzione> shells;
    std::vector<double> rapportiWall, rapportiCpu;
    for (int i = 0; i < ripetizioni; ++i) {
        shells.push_back(shell());
        if (i > 0)
            importi.push_back(importa());
        rapportiWall.push_back(shells.back().secondi / importi.back().secondi);
        rapportiCpu.push_back(shells.back().cpu / importi.back().cpu);
    }
    // (a) the raw ceiling, last: its rows in memory would swell the peak
    // memory measured for the child processes, which starts as a copy of this one.
    std::vector<Righe> righe;
    {
        Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
        for (const char* t : tabelle) {
            Righe r;
            Comando c = db.prepara(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
            r.colonne = c.colonne();
            while (c.passo()) {
                for (int i = 0; i < r.colonne; ++i) {
                    switch (c.tipo(i)) {
                    case Comando::Tipo::Nullo: r.valori.emplace_back(); break;
                    case Comando::Tipo::Intero: r.valori.emplace_back(c.intero(i)); break;
                    default: r.valori.emplace_back(std::string(c.utf8(i)));
                    }
                }
            }
            righe.push_back(std::move(r));
        }
    }
    QFile::remove(QStringLiteral("grezzo.mdb"));
    QFile::remove(QStringLiteral("grezzo.mdb-wal"));
    nuovoDatabase(QStringLiteral("grezzo.mdb"));
    double tGrezzo = 0, cGrezzo = 0;
    {
        Connessione db(QStringLiteral("grezzo.mdb"), Connessione::Apertura::Esistente);
        const auto t = Orologio::now();
        const double c0 = cpuProcesso();
        Transazione tr(db);
        for (size_t k = 0; k < righe.size(); ++k) {
            const Righe& r = righe[k];
            QStringList p;
            for (int i = 0; i < r.colonne; ++i)
                p << QStringLiteral("?");
            Comando ins = db.prepara(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                         .arg(QLatin1String(tabelle[k]), p.join(QLatin1Char(','))));
            for (size_t i = 0; i < r.valori.size(); i += size_t(r.colonne)) {
                for (int j = 0; j < r.colonne; ++j) {
                    const Valore& v = r.valori[i + size_t(j)];
                    if (std::holds_alternative<qint64>(v))
                        ins.lega(j + 1, std::get<qint64>(v));
                    else if (std::holds_alternative<std::string>(v))
                        ins.lega(j + 1, std::string_view(std::get<std::string>(v)));
                    else
                        ins.legaNull(j + 1);
                }
                ins.esegui();
            }
        }
        tr.conferma();
        tGrezzo = secondiDa(t);
        cGrezzo = cpuProcesso() - c0;
    }

    righe.clear();
    righe.shrink_to_fit();
    malloc_trim(0);

    auto med = [](const std::vector<Esecuzione>& v, double Esecuzione::*m) {
        std::vector<double> x;
        for (const Esecuzione& e : v)
            x.push_back(e.*m);
        return mediana(x);
    };
    long picco = 0;
    for (const Esecuzione& e : importi)
        picco = std::max(picco, e.piccoKb);
    const double tImp = med(importi, &Esecuzione::secondi), cImp = med(importi, &Esecuzione::cpu);
    const double tShell = med(shells, &Esecuzione::secondi), cShell = med(shells, &Esecuzione::cpu);

    std::printf("righe memorizzate: %lld (%.2f per unità, %.2f righe di file per unità)\n", totale,
                double(totale) / unita, double(linee) / unita);
    std::printf("mediane di %d esecuzioni alternate          tempo     cpu\n", ripetizioni);
    std::printf("sorvel-cli import ........ %6.2f s %6.2f s  %8.0f righe/s  RSS massima %ld MiB\n", tImp, cImp,
                totale / tImp, picco / 1024);
    std::printf("(a) inserimento grezzo ... %6.2f s %6.2f s  %8.0f righe/s\n", tGrezzo, cGrezzo, totale / tGrezzo);
    std::printf("(b) sqlite3 .import ...... %6.2f s %6.2f s  %8.0f righe/s\n", tShell, cShell, totale / tShell);
    const double ra = tGrezzo / tImp, rb = mediana(rapportiWall), rc = mediana(rapportiCpu);
    std::printf("\nobiettivi (forma %s):\n  import / grezzo   tempo %.2f (almeno 0.50) %s\n"
                "  import / .import  tempo %.2f, cpu %.2f (almeno 1.20) %s\n",
                forma, ra, ra >= 0.5 ? "OK" : "NO", rb, rc, rb >= 1.2 ? "OK" : "NO");
    return ra >= 0.5 && rb >= 1.2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<const char*> pos;
    std::vector<const char*> forme{"semplice", "ricca"};
    int ripetizioni = 3;
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
        } else {
            pos.push_back(argv[i]);
        }
    }
    const int unita = !pos.empty() ? std::atoi(pos[0]) : 200000;
    QTemporaryDir tmp;
    const QString dir = pos.size() > 1 ? QString::fromLocal8Bit(pos[1]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    bool tutti = true;
    try {
        std::printf("bench_import: %d unità in %s\n", unita, qPrintable(dir));
        for (const char* f : forme)
            tutti = misura(f, unita, ripetizioni) && tutti;
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
    return tutti ? 0 : 1;
}
