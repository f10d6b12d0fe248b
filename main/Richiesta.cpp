#include "Richiesta.h"

#include "Campo.h"
#include "FileTesto.h"
#include "Query.h"

namespace Richiesta {

QString pulisci(QStringView t) { return CampoPulito(t).toString(); }

RichiestaContribuente analizza(const QString& riga)
{
    // columns from 1, as far as the line goes
    auto colonne = [&](int da, int n) { return QStringView(riga).mid(da - 1, n); };
    RichiestaContribuente r;
    const QString data = pulisci(colonne(61, 10));
    r.persona = !data.isEmpty();
    if (r.persona) {
        r.nome = pulisci(pulisci(colonne(1, 30)) + QLatin1Char(' ') + pulisci(colonne(31, 30)));
        r.nascita = Conversione::data(data).value_or(QDate(1899, 12, 30));
    } else {
        r.nome = pulisci(colonne(1, 60));
    }
    r.codFisc = pulisci(colonne(71, 16));
    // not trimmed: blanks, a sign and digits up to the end of the field
    const auto n = Conversione::intero(colonne(87, 6));
    r.superficie = n ? qint32(*n) : 0;
    return r;
}

bool trova(Query& elenco, const RichiestaContribuente& r)
{
    const OpzioniLocate opz{.ignoraMaiuscole = true, .chiaveParziale = true};
    const bool perNome = r.persona ? elenco.Locate(QStringLiteral("Denominazione;NData"), {r.nome, r.nascita}, opz)
                                   : elenco.Locate(QStringLiteral("Denominazione"), {r.nome}, opz);
    return perNome || elenco.Locate(QStringLiteral("CodFisc"), {r.codFisc}, opz);
}

}  // namespace Richiesta
