#pragma once
// Confirming the management parameters: what happens to the edited
// tParametri row when the clerk presses "Conferma".

class TdTabelle;

namespace Parametri {
// If the row is being edited: trims Nome, takes Codice from the municipality
// of that exact name when tComuni has one, and posts the row.
void conferma(TdTabelle& dati);
}
