#include "Cli.h"

#include "Collegamento.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "dmTabelle.h"

namespace Cli {

int initDb(const QStringList& arg)
{
    const Argomenti a(arg, {{QStringLiteral("--force"), false}}, 0, 0, QStringLiteral("Uso: sorvel-cli init-db [--force]"));
    TdTabelle d;
    d.leggiConfigurazione();
    const ParametriConnessione p = StringaDiConnessione::analizza(d.StringaConnessione);
    const int n = DatabaseConsegnato::crea(p, a.ha(u"--force"));
    out() << "Creato " << p.descrizione() << " con " << n << " comuni.\n";
    return 0;
}

}  // namespace Cli
