#include "Cli.h"

#include "CaricaRuolo.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Percorsi.h"
#include "Query.h"
#include "dmTabelle.h"

namespace Cli {

int verify(const QStringList& arg)
{
    const Argomenti a(arg, {}, 0, 1, QStringLiteral("Uso: sorvel-cli verify [FILE_RUOLO]"));
    const QString file = a.posizionali().isEmpty() ? FileScambio(QStringLiteral("rsutot.txt")) : a.posizionali().front();
    TdTabelle d;
    avvia(d);
    // the owner list as the main window opens it
    Query elenco(d.ADOConnection1, QStringLiteral("ADOQuery1"));
    ElencoSoggetti::apri(elenco, d);
    AvanzamentoConsole avanzamento(QStringLiteral("Verifica"));
    QElapsedTimer t;
    t.start();
    const RisultatoRuolo r = CaricaRuolo(d, elenco, file, &avanzamento);
    err() << "Caricate " << r.righe << " righe del ruolo (" << r.trovati << " contribuenti trovati) in "
          << QString::number(t.elapsed() / 1000.0, 'f', 2) << " s.\n";
    if (!r.avvisoRegistro.isEmpty())
        err() << "Attenzione: " << testoErrore(r.avvisoRegistro) << '\n';
    return 0;
}

}  // namespace Cli
