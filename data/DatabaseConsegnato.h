#pragma once
// The database delivered with the program: the nine tables with their
// indexes, the one row of tParametri and the list of Italian municipalities.

#include <QString>
#include <memory>

class Connessione;

struct ParametriConnessione;

namespace DatabaseConsegnato {
// Creates the database the parameters name and returns the number of
// municipalities loaded. A database file that exists is replaced only when
// `sostituisci` is true. On a server, a missing database is created first
// (when the user may), and a database that already holds any of the nine
// tables is refused unless `sostituisci`, which drops them.
int crea(const ParametriConnessione& p, bool sostituisci);
// A database file of the embedded engine.
int crea(const QString& file, bool sostituisci);
// Opens the database the parameters name, creating it empty when it is
// missing: a new file, or a new database on the server (when the user may).
std::unique_ptr<Connessione> apriCreando(const ParametriConnessione& p);
}
