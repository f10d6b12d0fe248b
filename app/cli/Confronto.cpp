#include "Cli.h"

#include "Campo.h"
#include "ConfrontoSuperfici.h"
#include "Errore.h"
#include "dmTabelle.h"

#include <limits>

namespace Cli {

int confronto(const QStringList& arg)
{
    qint64 soggetto = -1;
    qint32 ruolo = 0;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        const QString& a = arg[i];
        QString valore;
        if (a == QLatin1String("--ruolo") || a.startsWith(QLatin1String("--ruolo="))) {
            valore = a.contains(QLatin1Char('=')) ? a.mid(a.indexOf(QLatin1Char('=')) + 1) : arg.value(++i);
            const auto n = Conversione::intero(valore);
            if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
                throw Errore(QStringLiteral("Superficie a ruolo non valida: '%1'").arg(valore));
            ruolo = qint32(*n);
        } else if (soggetto < 0) {
            const auto n = Conversione::intero(a);
            if (!n)
                throw Errore(QStringLiteral("Numero del soggetto non valido: '%1'").arg(a));
            soggetto = *n;
        } else {
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(a));
        }
    }
    if (soggetto < 0)
        throw Errore(QStringLiteral("Uso: sorvel-cli confronto SOGGETTO [--ruolo N]"));
    TdTabelle d;
    avvia(d);
    const Confronto c = ConfrontoSuperfici(d, d.codiceGestione(), soggetto, ruolo);
    out() << "Totale: " << c.totaleTesto << "\nRuolo: " << c.ruolo << "\nDifferenza: " << c.differenza
          << "\nDichiarabile: " << c.dichiarabile << "\nAccertabile: " << c.accertabile << '\n';
    return 0;
}

}  // namespace Cli
