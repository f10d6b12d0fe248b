#include "Cli.h"

#include "Errore.h"
#include "ImportaFile.h"
#include "dmTabelle.h"

namespace Cli {

int importa(const QStringList& arg)
{
    const Argomenti a(arg, {}, 1, 1, QStringLiteral("Uso: sorvel-cli import FILE"));
    TdTabelle d;
    avvia(d);
    AvanzamentoConsole avanzamento;
    QElapsedTimer t;
    t.start();
    const RisultatoImport r = ImportaFile(d, a.posizionali().front(), &avanzamento);
    err() << "Importate " << r.righe << " righe in " << QString::number(t.elapsed() / 1000.0, 'f', 2) << " s.\n";
    // Imported all the same, as the window does; but a file cut short by a
    // failed copy must not pass unnoticed.
    const QString riepilogo = AvvisoRiepilogo(r);
    if (!riepilogo.isEmpty())
        err() << "Attenzione: " << testoErrore(riepilogo) << '\n';
    if (!r.avvisoRegistro.isEmpty())
        err() << "Attenzione: " << testoErrore(r.avvisoRegistro) << '\n';
    return 0;
}

}  // namespace Cli
