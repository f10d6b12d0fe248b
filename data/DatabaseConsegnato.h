#pragma once
// The database delivered with the program: the nine tables with their
// indexes, the one row of tParametri and the list of Italian municipalities.

#include <QString>

namespace DatabaseConsegnato {
// Creates `file`; raises Errore when it exists and `sostituisci` is false.
// Returns the number of municipalities loaded.
int crea(const QString& file, bool sostituisci);
}
