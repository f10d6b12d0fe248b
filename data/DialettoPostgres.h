#pragma once
// The SQL texts of the program, written for the embedded engine (and for the
// original one before it), as the PostgreSQL server reads them. The texts stay
// as the windows and operations define them; this adapts what the dialects
// say differently:
// - parameters ":Nome" and "?" become $1, $2 ... (one number per name);
// - "DELETE * FROM" loses its star;
// - LIKE ignores the case of ASCII letters, as the embedded engine's does,
//   and has no escape character: ILIKE over columns in the "C" collation,
//   with ESCAPE '';
// - a term "X COLLATE NOMI" of an ORDER BY becomes the key of the order of
//   names, chiave_nomi(X), then X itself (the exact text, compared in the
//   "C" collation, breaks ties as Collazione does); a SELECT DISTINCT gets
//   the key as an extra column at the end of its list, hidden from the rows;
// - nulls come first in ascending order and last in descending order, as on
//   the embedded engine;
// - rows come in the embedded engine's order where the text leaves it open
//   (a table's rows in the order stored, ties of an ORDER BY alike);
// - unquoted names fold to lower case on the server, so the names of the
//   result columns are given back as the text writes them.

#include <QHash>
#include <QString>
#include <QStringList>

namespace DialettoPostgres {

// The function that gives the key of the order of names on the server.
inline constexpr const char* funzioneNomi = "chiave_nomi";

struct Traduzione {
    QString testo;
    QStringList parametri;    // the name of each $n from $1: ":Nome", or empty for "?"
    int colonneNascoste = 0;  // the keys added at the end of the select list
    bool citaRowid = false;   // a select list names rowid (else a "*" does not show it)
    QHash<QString, QString> nomi;  // each word of the text, in lower case -> as written
};

Traduzione traduci(const QString& sql);

// The CREATE FUNCTION statement of chiave_nomi, built from Collazione itself:
// the same key for every character of the Latin, Greek and Cyrillic blocks
// (names come from Windows-1252 files, well inside them).
QString creaFunzioneNomi();

}  // namespace DialettoPostgres
