// sorvel-cli: the batch front end over the same core and the same start-up.
// Errors go to stderr in the words the program's error box would show; the
// exit code is 0 on success and 1 on any error. Each command lives in cli/.

#include "Errore.h"
#include "cli/Cli.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

const char* uso =
    "uso: sorvel-cli COMANDO [opzioni]\n"
    "  init-db [--force]            crea il database consegnato indicato da sorvel.ini\n"
    "  params [--codice C] [--nome N] [--provincia P] [--codfis X] [--indirizzo I]\n"
    "         [--telefono T] [--fax F] [--firma S]\n"
    "                               modifica i parametri di gestione come \"Conferma\"\n"
    "  import FILE                  importa una fornitura \"dati metrici\" del comune di gestione\n"
    "  confronto SOGGETTO [--ruolo N]  le cinque cifre del confronto delle superfici del soggetto\n"
    "  report owners --pdf FILE     l'elenco dei soggetti\n"
    "  report dossier SOGGETTO [--ruolo N] --pdf FILE\n"
    "                               il prospetto del soggetto (con --ruolo come nella modalita' S)\n"
    "  verify [FILE_RUOLO]          carica il ruolo (predefinito: rsutot.txt nella cartella di scambio)\n"
    "                               e lo confronta con i dati catastali\n"
    "  copia --da INI --a INI [--force]\n"
    "                               copia ogni tabella dal database indicato da un sorvel.ini a quello\n"
    "                               indicato da un altro (un file o un server)\n";

// Qt's remark on a missing XDG_RUNTIME_DIR, which the platform without a
// screen makes on every start, says nothing to the clerk.
QtMessageHandler gestorePrecedente = nullptr;
void filtraMessaggi(QtMsgType tipo, const QMessageLogContext& ctx, const QString& testo)
{
    if (tipo == QtWarningMsg && testo.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    gestorePrecedente(tipo, ctx, testo);
}

}  // namespace

int main(int argc, char** argv)
{
    // Reports measure and draw text: they need the GUI side of Qt, without a screen.
    const bool report = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    gestorePrecedente = qInstallMessageHandler(filtraMessaggi);
    const std::unique_ptr<QCoreApplication> app(report ? new QGuiApplication(argc, argv)
                                                       : new QCoreApplication(argc, argv));
    QStringList arg = app->arguments().mid(1);
    if (arg.isEmpty() || arg[0] == QLatin1String("--help") || arg[0] == QLatin1String("-h")) {
        std::fputs(uso, arg.isEmpty() ? stderr : stdout);
        return arg.isEmpty() ? 1 : 0;
    }
    static const std::map<QString, std::function<int(const QStringList&)>> comandi{
        {QStringLiteral("init-db"), Cli::initDb},
        {QStringLiteral("params"), Cli::params},
        {QStringLiteral("import"), Cli::importa},
        {QStringLiteral("confronto"), Cli::confronto},
        {QStringLiteral("report"), Cli::report},
        {QStringLiteral("verify"), Cli::verify},
        {QStringLiteral("copia"), Cli::copia},
    };
    const QString comando = arg.takeFirst();
    const auto it = comandi.find(comando);
    if (it == comandi.end()) {
        Cli::err() << "Comando sconosciuto: " << comando << "\n" << uso;
        return 1;
    }
    try {
        return it->second(arg);
    } catch (const Errore& e) {
        Cli::err() << Cli::testoErrore(e.testo()) << '\n';
    } catch (const std::exception& e) {
        Cli::err() << Cli::testoErrore(TestoEccezione(e)) << '\n';
    }
    return 1;
}
