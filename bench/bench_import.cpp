// Benchmark of the supply import against two references on the same rows,
// the same tables and the same indexes:
//   (a) the raw ceiling: the stored rows inserted with one prepared statement
//       per table in one transaction, no parsing, no numbering;
//   (b) what a clerk could do by hand: the sqlite3 shell's .import of them.
//
//   bench_import [UNITA=200000] [CARTELLA]
//
// The supply file comes from genera_fornitura; the import runs as
// `sorvel-cli import`, in a child process whose peak memory is reported.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Processo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

namespace {

using Orologio = std::chrono::steady_clock;
double secondiDa(Orologio::time_point t) { return std::chrono::duration<double>(Orologio::now() - t).count(); }

const char* const tabelle[] = {"tUnImm1", "tUnImm2", "tUnImm3", "tUnImm4", "tUnImm5_6", "tUnImm9"};

using Processo::esegui;
using Processo::Esecuzione;

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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int unita = argc > 1 ? std::atoi(argv[1]) : 200000;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    try {
        std::printf("bench_import: %d unità in %s\n", unita, qPrintable(dir));
        const Esecuzione g = esegui({SORVEL_GENERA, "fornitura.txt", std::to_string(unita), "G479"});
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

        // the import, as a clerk runs it
        nuovoDatabase(QStringLiteral("sorvel.mdb"));
        ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
        const Esecuzione imp = esegui({SORVEL_CLI, "import", "fornitura.txt"});
        if (imp.codice != 0)
            throw Errore(QStringLiteral("sorvel-cli import non riuscito"));

        // the rows it stored, kept in memory and as CSV for the two references
        std::vector<Righe> righe;
        qint64 totale = 0;
        {
            Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
            for (const char* t : tabelle) {
                Righe r;
                Comando c = db.prepara(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
                r.colonne = c.colonne();
                QFile csv(QStringLiteral("%1.csv").arg(QLatin1String(t)));
                if (!csv.open(QIODevice::WriteOnly))
                    throw Errore(QStringLiteral("CSV non scrivibile"));
                QByteArray riga;
                while (c.passo()) {
                    riga.clear();
                    for (int i = 0; i < r.colonne; ++i) {
                        if (i)
                            riga += ',';
                        switch (c.tipo(i)) {
                        case Comando::Tipo::Nullo: r.valori.emplace_back(); break;
                        case Comando::Tipo::Intero:
                            r.valori.emplace_back(c.intero(i));
                            riga += QByteArray::number(c.intero(i));
                            break;
                        default: {
                            const std::string_view u = c.utf8(i);
                            r.valori.emplace_back(std::string(u));
                            QByteArray q(u.data(), qsizetype(u.size()));
                            q.replace('"', "\"\"");
                            riga += '"' + q + '"';
                        }
                        }
                    }
                    csv.write(riga + '\n');
                    ++totale;
                }
                righe.push_back(std::move(r));
            }
        }

        // (a) the raw ceiling
        nuovoDatabase(QStringLiteral("grezzo.mdb"));
        double tGrezzo = 0;
        {
            Connessione db(QStringLiteral("grezzo.mdb"), Connessione::Apertura::Esistente);
            const auto t = Orologio::now();
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
        }

        // (b) the sqlite3 shell's .import
        nuovoDatabase(QStringLiteral("shell.mdb"));
        {
            QFile s(QStringLiteral("import.sql"));
            if (!s.open(QIODevice::WriteOnly))
                throw Errore(QStringLiteral("script non scrivibile"));
            s.write("PRAGMA journal_mode=WAL;\nPRAGMA synchronous=NORMAL;\n");
            for (const char* t : tabelle)
                s.write(QByteArray(".import --csv ") + t + ".csv " + t + "\n");
        }
        const Esecuzione shell = esegui({"sqlite3", "shell.mdb"}, "import.sql");
        if (shell.codice != 0)
            throw Errore(QStringLiteral("sqlite3 .import non riuscito"));

        std::printf("righe memorizzate: %lld\n\n", totale);
        std::printf("sorvel-cli import ........ %6.2f s  %8.0f righe di file/s  %8.0f righe/s  RSS massima %ld MiB\n",
                    imp.secondi, linee / imp.secondi, totale / imp.secondi, imp.piccoKb / 1024);
        std::printf("(a) inserimento grezzo ... %6.2f s  %8.0f righe/s\n", tGrezzo, totale / tGrezzo);
        std::printf("(b) sqlite3 .import ...... %6.2f s  %8.0f righe/s\n", shell.secondi, totale / shell.secondi);
        const double ra = tGrezzo / imp.secondi, rb = shell.secondi / imp.secondi;
        std::printf("\nobiettivi:\n  import / grezzo  %.2f (almeno 0.50) %s\n  import / .import %.2f (almeno 1.00) %s\n", ra,
                    ra >= 0.5 ? "OK" : "NO", rb, rb >= 1.0 ? "OK" : "NO");
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
    return 0;
}
