// Benchmark of the taxpayer letters.
//
//   bench_lettere [LETTERE=10000] [CARTELLA]
//
// A database in a temporary folder (written by a child process) whose
// managing municipality has that many owners with a birth date, each with
// one to three units (surface, one or two identifiers, an address), and a
// roll whose rows match them by name and birth date, each with a positive
// greater assessable surface: one letter per owner. Then sorvel-cli as the
// clerk would run it: `report letters --pdf`, and the same with `--split`
// (one more PDF file per letter); wall time and peak memory of each run.
// Last, in this process, the letters prepared in memory as "Lettere"
// shows them in the preview: time and memory per page.
// Goals for 10,000 letters: PDF under 60 s, --split under 90 s. With
// CARTELLA the database is written there and kept.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "Processo.h"
#include "ReportLettere.h"
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

const char* const cognomi[] = {"ROSSI",   "RUSSO",    "FERRARI", "ESPOSITO",  "BIANCHI",   "ROMANO", "COLOMBO",
                               "RICCI",   "MARINO",   "GRECO",   "BRUNO",     "GALLO",     "CONTI",  "DE LUCA",
                               "MANCINI", "D'ANGELO", "NICOLÒ",  "DELL'ORTO", "DE SANTIS", "GUIDI",  "PAOLINI"};
const char* const nomi[] = {"MARIO", "GIUSEPPE", "LUCA", "ANDREA", "ANNA", "MARIA", "GIULIA", "PAOLO", "CHIARA",
                            "ANNA MARIA", "PIER PAOLO", "ELENA"};
const char* const vie[] = {"GIOACCHINO ROSSINI", "DEL POPOLO", "SAN FRANCESCO", "NAZARIO SAURO", "DELLA REPUBBLICA",
                           "FLAMINIA", "SANTA MARIA", "DEI MILLE"};

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
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479', Nome = 'PESARO', Provincia = 'PESARO E URBINO', "
                             "Firma = 'Dott. Paolo Bianchi'"));
    Transazione tr(db);
    Comando soggetto = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
        "Cognome, Nome, NData, CodFisc) VALUES ('G479', '', ?, 1, 1, 'F', ?, ?, ?, ?, ?, ?)"));
    Comando superficie = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie) VALUES ('G479', '', ?, 1, 'A02', ?)"));
    Comando identificativo = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio, Numero, Subalterno) VALUES "
        "('G479', '', ?, 1, ?, ?, ?, ?)"));
    Comando indirizzo = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Toponimo, Denominazione, Civico1) VALUES "
        "('G479', '', ?, 1, 1, 'VIA', ?, ?)"));
    Comando ruolo = db.prepara(QStringLiteral(
        "INSERT INTO tRsuTot (Codice, Cognome, Nome, NData, CodFisc, Superficie, Ruolo, Differenza, Dichiarabile, "
        "Accertabile, Presente, Indirizzo, Citta) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?, '61121 PESARO')"));
    uint64_t s = 20250314;
    auto caso = [&s](uint64_t m) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return (s >> 33) % m;
    };
    qint64 immobile = 0;
    for (long i = 1; i <= n; ++i) {
        const std::string cognome = cognomi[caso(std::size(cognomi))];
        const std::string nome = nomi[caso(std::size(nomi))];
        char data[16], cf[32], civico[8], via[48];
        std::snprintf(data, sizeof data, "%04d-%02d-%02d", 1925 + int(caso(80)), 1 + int(caso(12)), 1 + int(caso(28)));
        std::snprintf(cf, sizeof cf, "CF%08ld", i);
        qint64 totale = 0;
        const int unita = 1 + int(caso(3));
        for (int u = 0; u < unita; ++u) {
            ++immobile;
            const qint64 mq = 30 + qint64(caso(150));
            totale += mq;
            soggetto.lega(1, immobile);
            soggetto.lega(2, qint64(i));
            soggetto.lega(3, cognome + " " + nome);
            soggetto.lega(4, cognome);
            soggetto.lega(5, nome);
            soggetto.lega(6, std::string_view(data));
            soggetto.lega(7, std::string_view(cf));
            soggetto.esegui();
            superficie.lega(1, immobile);
            superficie.lega(2, mq);
            superficie.esegui();
            const int identificativi = 1 + int(caso(2));
            for (int k = 1; k <= identificativi; ++k) {
                identificativo.lega(1, immobile);
                identificativo.lega(2, qint64(k));
                identificativo.lega(3, std::to_string(1 + caso(90)));
                identificativo.lega(4, std::to_string(1 + caso(2000)));
                identificativo.lega(5, std::to_string(1 + caso(40)));
                identificativo.esegui();
            }
            std::snprintf(civico, sizeof civico, "%04d", 1 + int(caso(200)));
            indirizzo.lega(1, immobile);
            indirizzo.lega(2, std::string_view(vie[caso(std::size(vie))]));
            indirizzo.lega(3, std::string_view(civico));
            indirizzo.esegui();
        }
        const qint64 dichiarabile = (totale * 8 + 5) / 10;
        const qint64 dichiarata = dichiarabile / 2;
        std::snprintf(via, sizeof via, "VIA ROMA %ld", i % 500);
        ruolo.lega(1, qint64(i));
        ruolo.lega(2, cognome);
        ruolo.lega(3, nome);
        ruolo.lega(4, std::string_view(data));
        ruolo.lega(5, std::string_view(cf));
        ruolo.lega(6, totale);
        ruolo.lega(7, dichiarata);
        ruolo.lega(8, totale - dichiarata);
        ruolo.lega(9, dichiarabile);
        ruolo.lega(10, dichiarabile - dichiarata);
        ruolo.lega(11, std::string_view(via));
        ruolo.esegui();
    }
    tr.conferma();
}

}  // namespace

int main(int argc, char** argv)
{
    const long n = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    QTemporaryDir temporanea;
    const QDir cartella(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporanea.path());
    if (!QDir().mkpath(cartella.path()))
        return 2;
    std::printf("\nbench_lettere: %ld contribuenti\n", n);
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
    if (chdir(cartella.path().toLocal8Bit().constData()) != 0)
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    const Processo::Esecuzione pdf = Processo::esegui({SORVEL_CLI, "report", "letters", "--pdf", "lettere.pdf"});
    const Processo::Esecuzione divise =
        Processo::esegui({SORVEL_CLI, "report", "letters", "--pdf", "lettere2.pdf", "--split", "pec"});
    const long file = long(QDir(cartella.filePath(QStringLiteral("pec"))).entryList(QDir::Files).size());
    const bool obiettivi = n < 10000 || (pdf.secondi < 60 && divise.secondi < 90);
    const bool ok = pdf.codice == 0 && divise.codice == 0 && file == n && obiettivi;
    std::printf("  report letters --pdf:          %7.2f s, picco %.1f MB, %.1f MB di PDF%s\n", pdf.secondi,
                pdf.piccoKb / 1024.0, QFileInfo(cartella.filePath(QStringLiteral("lettere.pdf"))).size() / 1e6,
                n >= 10000 ? "  (obiettivo < 60 s)" : "");
    std::printf("  report letters --pdf --split:  %7.2f s, picco %.1f MB, %ld file%s\n", divise.secondi,
                divise.piccoKb / 1024.0, file, n >= 10000 ? "  (obiettivo < 90 s)" : "");

    // "Lettere": prepared in memory for the preview
    Processo::inDisparte([&] {
        int c = 1;
        QGuiApplication app(c, argv);
        try {
            TdTabelle dati;
            dati.DataModuleCreate();
            ReportLettere lettere(dati, ReportLettere::Uso::Tutte);
            const long prima = statoKb("VmRSS");
            const auto t0 = Orologio::now();
            const ReportPreparato r = lettere.prepara();
            const double secondi = secondiDa(t0);
            std::printf("  anteprima di \"Lettere\":        %7.2f s di preparazione, %d pagine, %.1f KiB per pagina\n",
                        secondi, r.numeroPagine(), double(statoKb("VmRSS") - prima) / r.numeroPagine());
        } catch (const Errore& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        }
        std::fflush(stdout);
        return true;
    });
    std::printf("  esito: %s\n", ok ? "OK" : "FAIL");
    return ok ? 0 : 1;
}
