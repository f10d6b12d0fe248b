#include "ElencoSoggetti.h"

#include "dmTabelle.h"

namespace ElencoSoggetti {

const QStringList& sql()
{
    static const QStringList s{
        QStringLiteral("SELECT DISTINCT tUnImm5_6.Codice, tUnImm5_6.Cognome, tUnImm5_6.Nome,  tUnImm5_6.Soggetto, "
                       "tUnImm5_6.Denominazione, NData, tComuni.Nome AS  NComune, tUnImm5_6.CodFisc"),
        QStringLiteral("FROM tUnImm5_6"),
        QStringLiteral("LEFT JOIN tComuni ON tUnImm5_6.NLuogo = tComuni.CodiceCat"),
        QStringLiteral("ORDER BY tUnImm5_6.Denominazione"),
    };
    return s;
}

void apri(Query& elenco, const TdTabelle& dati)
{
    elenco.chiudi();
    elenco.sql = sql();
    elenco.impostaFiltro(dati.filtroGestione());
    elenco.impostaFiltrato(true);
    elenco.apri();
}

}  // namespace ElencoSoggetti
