// Benchmark of the owner list report.
//
//   bench_report [owners...]      (default: 10000 100000)
//
// For each size, builds a delivered database in a temporary folder holding
// that many owners of the managing municipality (written by a child process,
// so that neither its time nor its memory enters the figures), opens the
// owner list, and measures what the clerk waits for: preparing the report,
// opening its preview until the first page is painted, and writing it as a
// PDF file; then the memory the prepared pages hold, per page.
// Goals for 100,000 owners (about 2,000 pages): preparation under 5 s, PDF
// under 15 s, preview under 1 s, at most 50 KiB a page.

#include "AnteprimaReport.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "Processo.h"
#include "ReportElencoSoggetti.h"
#include "VistaPagine.h"
#include "dmTabelle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>


#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Owners with names of ordinary length, birth dates and places, tax codes.
void genera(const QString& cartella, long n)
{
    static const char* const cognomi[] = {"ROSSI", "BIANCHI", "DELL'ORTO", "MARCHETTI", "DE SANTIS", "BARTOLUCCI",
                                          "GIOMMI", "FRATERNALI", "OMICCIOLI", "D'ANGELO", "SANTINELLI", "NICOLÒ"};
    static const char* const nomi[] = {"MARIO", "ANNA MARIA", "GIUSEPPE", "FRANCESCA", "PIER PAOLO", "LUCIA",
                                       "ALESSANDRO", "GINEVRA", "TOMMASO", "MARIA GRAZIA", "UGO"};
    static const char* const luoghi[] = {"G479", "D488", "H501", "F205", "A944", "L219"};
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
        "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
        "Cognome, Nome, NData, NLuogo, CodFisc) VALUES ('G479', '', ?, 1, 1, 'F', ?, ?, ?, ?, ?, ?, ?)"));
    uint64_t s = 20250314;
    auto caso = [&s](uint64_t m) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return (s >> 33) % m;
    };
    for (long i = 1; i <= n; ++i) {
        const std::string cognome = std::string(cognomi[caso(std::size(cognomi))]) + (caso(2) ? "" : "NI");
        const std::string nome = nomi[caso(std::size(nomi))];
        char data[16], cf[20];
        std::snprintf(data, sizeof data, "%04d-%02d-%02d", 1925 + int(caso(80)), 1 + int(caso(12)), 1 + int(caso(28)));
        std::snprintf(cf, sizeof cf, "%c%c%c%c%c%c%02d%c%02d%s%c", 'A' + int(caso(26)), 'A' + int(caso(26)),
                      'A' + int(caso(26)), 'A' + int(caso(26)), 'A' + int(caso(26)), 'A' + int(caso(26)),
                      int(caso(100)), 'A' + int(caso(12)), 1 + int(caso(71)), luoghi[caso(std::size(luoghi))],
                      'A' + int(caso(26)));
        ins.lega(1, qint64(i));
        ins.lega(2, qint64(i));
        ins.lega(3, cognome + " " + nome);
        ins.lega(4, cognome);
        ins.lega(5, nome);
        ins.lega(6, std::string_view(data));
        ins.lega(7, std::string_view(luoghi[caso(std::size(luoghi))]));
        ins.lega(8, std::string_view(cf));
        ins.esegui();
    }
    tr.conferma();
}

// The database of `n` owners in `cartella`, written by a child process.
bool generaInDisparte(const QString& cartella, long n)
{
    return Processo::inDisparte([&] {
        try {
            genera(cartella, n);
            return true;
        } catch (const Errore& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
            return false;
        }
    });
}

bool misura(const QString& cartella, long n)
{
    std::printf("\nbench_report: %ld soggetti\n", n);
    const QTemporaryDir uscita;
    QDir dir(uscita.path());
    const QString prima = QDir::currentPath();
    QDir::setCurrent(cartella);
    TdTabelle dati;
    dati.DataModuleCreate();
    Query elenco(dati.ADOConnection1, QStringLiteral("ADOQuery1"));
    auto t = Orologio::now();
    ElencoSoggetti::apri(elenco, dati);
    elenco.righe();
    std::printf("  elenco aperto:        %7.2f s (%d righe)\n", secondiDa(t), elenco.righe());

    // A first preparation over no rows loads the fonts and their caches, which
    // stay for the program's life: what follows is what the pages hold.
    {
        Query vuoto(dati.ADOConnection1, QStringLiteral("vuoto"));
        vuoto.sql = ElencoSoggetti::sql();
        vuoto.impostaFiltro(QStringLiteral("Codice = 'XXXX'"));
        vuoto.impostaFiltrato(true);
        vuoto.apri();
        ReportElencoSoggetti::prepara(vuoto);
    }
    const long rssPrima = statoKb("VmRSS");
    t = Orologio::now();
    auto r = std::make_shared<const ReportPreparato>(ReportElencoSoggetti::prepara(elenco));
    const double preparazione = secondiDa(t);
    const long rssDopo = statoKb("VmRSS");
    const double kibPagina = double(rssDopo - rssPrima) / r->numeroPagine();

    t = Orologio::now();
    double anteprima;
    {
        AnteprimaReport a(r);
        a.show();
        while (a.vista->pagineDipinteTotale() == 0)
            QApplication::processEvents();
        anteprima = secondiDa(t);
    }

    const QString pdf = dir.filePath(QStringLiteral("elenco.pdf"));
    t = Orologio::now();
    ScriviPdf(*r, pdf);
    const double tempoPdf = secondiDa(t);
    QDir::setCurrent(prima);

    const bool limiti = n < 100000 || (preparazione < 5 && tempoPdf < 15 && anteprima < 1);
    const bool ok = limiti && kibPagina <= 50;
    std::printf("  pagine:               %7d\n", r->numeroPagine());
    std::printf("  preparazione:         %7.2f s%s\n", preparazione, n >= 100000 ? "  (obiettivo < 5 s)" : "");
    std::printf("  anteprima aperta:     %7.3f s%s\n", anteprima, n >= 100000 ? "  (obiettivo < 1 s)" : "");
    std::printf("  PDF:                  %7.2f s, %.1f MB%s\n", tempoPdf, QFileInfo(pdf).size() / 1e6,
                n >= 100000 ? "  (obiettivo < 15 s)" : "");
    std::printf("  memoria per pagina:   %7.1f KiB (obiettivo <= 50 KiB)\n", kibPagina);
    std::printf("  picco di memoria:     %7.1f MB\n", statoKb("VmHWM") / 1024.0);
    std::printf("  esito: %s\n", ok ? "OK" : "FAIL");
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QList<long> misure;
    for (int i = 1; i < argc; ++i)
        misure.append(std::strtol(argv[i], nullptr, 10));
    if (misure.isEmpty())
        misure = {10000, 100000};
    // the databases first, before the application starts any thread
    std::vector<std::unique_ptr<QTemporaryDir>> cartelle;
    for (long n : misure) {
        cartelle.push_back(std::make_unique<QTemporaryDir>());
        if (!generaInDisparte(cartelle.back()->path(), n))
            return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = true;
    try {
        for (qsizetype i = 0; i < misure.size(); ++i)
            ok = misura(cartelle[size_t(i)]->path(), misure[i]) && ok;
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
    return ok ? 0 : 1;
}
