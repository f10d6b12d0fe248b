#pragma once
// The management parameters: what happens to the tParametri row when the
// clerk picks a municipality or presses "Conferma", and the summary of the
// managing municipality's last supply shown beside it.

#include <QStringList>

class DataSet;
class TdTabelle;

namespace Parametri {
// If the row is being edited: trims Nome, takes Codice from the municipality
// of that exact name when tComuni has one, and posts the row.
void conferma(TdTabelle& dati);

// A municipality picked in the list of supplied ones: its code and name go
// into the row, unless it is the municipality already summarised.
void sceltaComune(TdTabelle& dati, const QString& codiceRiepilogo, const QString& codice, const QString& comune);
// The municipality chosen in the look-up: its code and name, trimmed (the
// reference list pads them); the province is not copied.
void copiaComune(TdTabelle& dati, const QString& codice, const QString& nome);

// The municipalities whose supply summary is in the database, with their names.
const QStringList& sqlComuniForniti();
// The reconciliation table of the current summary row: one line
// "<value> - <description>" for each of the ten slots that has a type.
QString tabellaQuadrature(const DataSet& riepilogo);
}  // namespace Parametri
