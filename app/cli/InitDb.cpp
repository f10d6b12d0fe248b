#include "Cli.h"

#include "Collegamento.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "dmTabelle.h"

namespace Cli {

int initDb(const QStringList& arg)
{
    bool force = false;
    for (const QString& a : arg) {
        if (a == QLatin1String("--force"))
            force = true;
        else
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(a));
    }
    TdTabelle d;
    d.leggiConfigurazione();
    const ParametriConnessione p = StringaDiConnessione::analizza(d.StringaConnessione);
    const int n = DatabaseConsegnato::crea(p.file, force);
    out() << "Creato " << p.file << " con " << n << " comuni.\n";
    return 0;
}

}  // namespace Cli
