#pragma once
// The program's database connection as a component: it keeps the connection
// string and connects on first use. The string is a list of key=value pairs
// separated by ";", keys case-insensitive. "Provider" names the engine:
// Microsoft.Jet.OLEDB.4.0 or SQLite, the embedded engine, whose "Data Source"
// names the database file; PostgreSQL, a server, reached through "Host",
// "Port", "Database", "User ID", "Password" and any keyword of the server's
// client library. The optional "Busy Timeout" says how many seconds a
// statement waits for another workstation holding the database.

#include "Connessione.h"

#include <QString>
#include <functional>
#include <memory>

namespace StringaDiConnessione {
// Raises Errore for an empty string, an unknown provider, no data source (no
// database, for a server) or a "Busy Timeout" that is not a number of seconds.
ParametriConnessione analizza(const QString& stringa);
}

class Collegamento {
public:
    QString stringa;
    // Runs before every attempt to connect (it may set `stringa`).
    std::function<void(Collegamento&)> primaDiConnettere;

    Connessione& connessione();  // connects when not yet connected
    bool connesso() const { return bool(db_); }
    void chiudi() { db_.reset(); }

private:
    std::unique_ptr<Connessione> db_;
};
