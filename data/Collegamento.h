#pragma once
// The program's database connection as a component: it keeps the connection
// string and connects on first use. The string is a list of key=value pairs
// separated by ";", keys case-insensitive; "Data Source" names the database
// file, "Provider" the engine.

#include "Connessione.h"

#include <QString>
#include <functional>
#include <memory>

struct ParametriConnessione {
    QString provider;
    QString file;
};

namespace StringaDiConnessione {
// Raises Errore for an empty string, an unknown provider or no data source.
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
