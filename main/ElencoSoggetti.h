#pragma once
// The owner list: one row per distinct owner record of the supply, in name
// order, with the birthplace's name; restricted to the managing municipality
// by a row filter set just before every opening.

#include <QStringList>

class Query;
class TdTabelle;

namespace ElencoSoggetti {
const QStringList& sql();
// Sets the filter "Codice = '<managing municipality>'" and opens `elenco`.
void apri(Query& elenco, const TdTabelle& dati);
}
