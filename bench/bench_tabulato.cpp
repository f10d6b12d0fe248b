// Benchmark of the control listing over a large roll.
//
//   bench_tabulato [RIGHE=1000000] [RIGHE...]
//
// For each size, a database in a temporary folder whose tRsuTot holds that
// many compared roll rows (written by a child process: 95 % found, 5 % not
// found, 2 % without birth date, negative assessable surfaces among them).
// Then, in child processes of their own, what the clerk and sorvel-cli wait
// for: the listing written page by page as an XLSX file, and as a PDF file.
// The XLSX run samples its resident memory every 500 pages: once the roll is
// read and the first pages are out, it must stay flat (the sheet is written
// row after row in constant-memory mode, and no page is kept).
// Goals for 1,000,000 rows (about 20,000 pages): XLSX under 30 s with flat
// memory, PDF under 60 s.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "Esportatore.h"
#include "EsportatoreXlsx.h"
#include "Processo.h"
#include "ReportTabulato.h"
#include "dmTabelle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const char* const cognomi[] = {"ROSSI",   "RUSSO",   "FERRARI", "ESPOSITO", "BIANCHI",   "ROMANO", "COLOMBO",
                               "RICCI",   "MARINO",  "GRECO",   "BRUNO",    "GALLO",     "CONTI",  "DE LUCA",
                               "MANCINI", "D'ANGELO", "NICOLÒ", "DELL'ORTO", "DE SANTIS", "GUIDI",  "PAOLINI"};
const char* const nomi[] = {"MARIO", "GIUSEPPE", "LUCA", "ANDREA", "ANNA", "MARIA", "GIULIA", "PAOLO", "CHIARA",
                            "ANNA MARIA", "PIER PAOLO", "ELENA"};

void genera(const QString& cartella, long n)
{
    const QString file = cartella + QStringLiteral("/sorvel.mdb");
    DatabaseConsegnato::crea(file, true);
    QFile ini(cartella + QStringLiteral("/sorvel.ini"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Errore(QStringLiteral("Impossibile scrivere sorvel.ini"));
    ini.write("Provider=SQLite; Data Source=sorvel.mdb\r\n");
    ini.close();
    Connessione db(file, Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479', Nome = 'PESARO'"));
    Transazione tr(db);
    Comando ins = db.prepara(QStringLiteral(
        "INSERT INTO tRsuTot (Codice, Cognome, Nome, NData, CodFisc, Superficie, Ruolo, Differenza, Dichiarabile, "
        "Accertabile, Presente, Indirizzo, Citta) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    uint64_t s = 20250314;
    auto caso = [&s](uint64_t m) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return (s >> 33) % m;
    };
    for (long i = 1; i <= n; ++i) {
        char data[16], cf[20], via[40];
        std::snprintf(data, sizeof data, "%04d-%02d-%02d", 1925 + int(caso(80)), 1 + int(caso(12)), 1 + int(caso(28)));
        std::snprintf(cf, sizeof cf, "RSS%c%c%c%02dA%02dG479%c", 'A' + int(caso(26)), 'A' + int(caso(26)),
                      'A' + int(caso(26)), int(caso(100)), 1 + int(caso(28)), 'A' + int(caso(26)));
        std::snprintf(via, sizeof via, "VIA ROMA %d", int(caso(300)));
        const bool trovato = caso(100) >= 5;
        const qint64 ruolo = 20 + qint64(caso(180));
        ins.lega(1, qint64(i));
        ins.lega(2, std::string_view(cognomi[caso(std::size(cognomi))]));
        ins.lega(3, std::string_view(nomi[caso(std::size(nomi))]));
        if (caso(100) < 2)
            ins.lega(4, QVariant());
        else
            ins.lega(4, std::string_view(data));
        ins.lega(5, std::string_view(cf));
        ins.lega(7, ruolo);
        if (trovato) {
            const qint64 totale = 30 + qint64(caso(250));
            const qint64 dichiarabile = (totale * 8 + 5) / 10;
            ins.lega(6, totale);
            ins.lega(8, totale - ruolo);
            ins.lega(9, dichiarabile);
            ins.lega(10, dichiarabile - ruolo);
            ins.lega(11, std::string_view(""));
        } else {
            for (int c : {6, 8, 9, 10})
                ins.lega(c, QVariant());
            ins.lega(11, std::string_view("*"));
        }
        ins.lega(12, std::string_view(via));
        ins.lega(13, std::string_view("61121 PESARO"));
        ins.esegui();
    }
    tr.conferma();
}

// The listing page by page into `file`, as XLSX or PDF; prints its figures.
bool scrivi(const QString& cartella, const QString& file, bool xlsx, long n)
{
    QDir::setCurrent(cartella);
    TdTabelle dati;
    dati.DataModuleCreate();
    ReportTabulato tabulato(dati);
    const auto t = Orologio::now();
    std::unique_ptr<FoglioXlsx> foglio;
    std::unique_ptr<ScrittorePdf> pdf;
    if (xlsx)
        foglio = std::make_unique<FoglioXlsx>(file, bordiColonne(ReportTabulato::frxReport1()));
    else
        pdf = std::make_unique<ScrittorePdf>(file);
    long rssIniziale = 0, rssMassimo = 0;
    double lettura = 0;
    const int pagine = tabulato.prepara([&](const ReportPreparato& r, const PaginaPreparata& p, int numero) {
        if (numero == 1)
            lettura = secondiDa(t);
        if (foglio)
            foglio->pagina(r, p);
        else
            pdf->pagina(r, p);
        if (numero % 500 == 0) {
            const long rss = statoKb("VmRSS");
            if (numero == 500)
                rssIniziale = rss;
            rssMassimo = std::max(rssMassimo, rss);
        }
    });
    if (foglio)
        foglio->chiudi();
    else
        pdf->chiudi();
    const double totale = secondiDa(t);
    const double obiettivo = xlsx ? 30 : 60;
    const bool ok = n < 1000000 || totale < obiettivo;
    std::printf("  %s: %7.2f s (ruolo letto e prima pagina in %.2f s), %d pagine, %.1f MB%s\n", xlsx ? "XLSX" : "PDF ",
                totale, lettura, pagine, QFileInfo(file).size() / 1e6,
                n >= 1000000 ? (xlsx ? "  (obiettivo < 30 s)" : "  (obiettivo < 60 s)") : "");
    if (rssIniziale > 0)
        std::printf("        memoria residente: %.1f MB alla pagina 500, al piu' %.1f MB dopo (crescita %.1f MB); "
                    "picco %.1f MB\n",
                    rssIniziale / 1024.0, rssMassimo / 1024.0, (rssMassimo - rssIniziale) / 1024.0,
                    statoKb("VmHWM") / 1024.0);
    // flat: what the pages after the 500th add stays within a few megabytes
    const bool piatta = !xlsx || rssIniziale == 0 || rssMassimo - rssIniziale < 16 * 1024;
    std::printf("        esito: %s\n", ok && piatta ? "OK" : "FAIL");
    std::fflush(stdout);  // the child ends with _exit
    return ok && piatta;
}

}  // namespace

int main(int argc, char** argv)
{
    QList<long> misure;
    for (int i = 1; i < argc; ++i)
        misure.append(std::strtol(argv[i], nullptr, 10));
    if (misure.isEmpty())
        misure = {1000000};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool ok = true;
    for (long n : misure) {
        QTemporaryDir cartella;
        std::printf("\nbench_tabulato: %ld righe del ruolo\n", n);
        auto t = Orologio::now();
        const bool generato = Processo::inDisparte([&] {
            try {
                genera(cartella.path(), n);
                return true;
            } catch (const Errore& e) {
                std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
                return false;
            }
        });
        if (!generato)
            return 2;
        std::printf("  (archivio generato in %.1f s)\n", secondiDa(t));
        for (const bool xlsx : {true, false}) {
            const QString file = cartella.filePath(xlsx ? QStringLiteral("tabulato.xlsx") : QStringLiteral("tabulato.pdf"));
            // each in a process of its own: its memory is its own
            ok = Processo::inDisparte([&] {
                     int c = 1;
                     QGuiApplication app(c, argv);
                     try {
                         return scrivi(cartella.path(), file, xlsx, n);
                     } catch (const Errore& e) {
                         std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
                         return false;
                     }
                 }) &&
                 ok;
        }
    }
    return ok ? 0 : 1;
}
