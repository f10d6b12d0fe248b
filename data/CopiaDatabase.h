#pragma once
// A copy of the whole database into another one: from the database file of
// one workstation to a server when the office grows, from the server to a
// file for a laptop. Every table is copied in the order its rows were
// stored; the target is replaced in one transaction and the row counts of
// both sides are checked before it commits.

#include <QList>
#include <QString>
#include <utility>

struct ParametriConnessione;

namespace CopiaDatabase {

// The tables copied and their rows, in the order of the schema.
using Conteggi = QList<std::pair<QString, qint64>>;

// Copies database `da` into `a`. A missing target is created (a file, or a
// database on the server). A target that holds data (more than a database
// just made by init-db: its municipalities and the one empty parameters row)
// is refused unless `sostituisci`. Raises Errore; the target is then as it was.
Conteggi copia(const ParametriConnessione& da, const ParametriConnessione& a, bool sostituisci);

}  // namespace CopiaDatabase
