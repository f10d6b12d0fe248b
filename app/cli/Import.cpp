#include "Cli.h"

#include "Errore.h"
#include "ImportaFile.h"
#include "dmTabelle.h"

namespace Cli {

int importa(const QStringList& arg)
{
    if (arg.size() != 1)
        throw Errore(QStringLiteral("Uso: sorvel-cli import FILE"));
    TdTabelle d;
    avvia(d);
    AvanzamentoConsole avanzamento;
    QElapsedTimer t;
    t.start();
    const RisultatoImport r = ImportaFile(d, arg[0], &avanzamento);
    err() << "Importate " << r.righe << " righe in " << QString::number(t.elapsed() / 1000.0, 'f', 2) << " s.\n";
    return 0;
}

}  // namespace Cli
