#include "Cli.h"

#include "ConfrontoSuperfici.h"
#include "Errore.h"
#include "dmTabelle.h"

namespace Cli {

int confronto(const QStringList& arg)
{
    const Argomenti a(arg, {{QStringLiteral("--ruolo")}}, 1, 1,
                      QStringLiteral("Uso: sorvel-cli confronto SOGGETTO [--ruolo N]"));
    // Soggetto is a four-byte number: a larger one would match nothing and
    // pass for an owner without units.
    const QString& testoSoggetto = a.posizionali().front();
    const auto soggetto = intero32(testoSoggetto);
    if (!soggetto)
        throw Errore(QStringLiteral("Numero del soggetto non valido: '%1' (%2)").arg(testoSoggetto, gammaIntero32()));
    qint32 ruolo = 0;
    if (const auto v = a.valore(u"--ruolo")) {
        const auto n = intero32(*v);
        if (!n)
            throw Errore(QStringLiteral("Superficie a ruolo non valida: '%1' (%2)").arg(*v, gammaIntero32()));
        ruolo = *n;
    }
    TdTabelle d;
    avvia(d);
    const Confronto c = ConfrontoSuperfici(d, d.codiceGestione(), *soggetto, ruolo);
    out() << "Totale: " << c.totaleTesto << "\nRuolo: " << c.ruolo << "\nDifferenza: " << c.differenza
          << "\nDichiarabile: " << c.dichiarabile << "\nAccertabile: " << c.accertabile << '\n';
    return 0;
}

}  // namespace Cli
