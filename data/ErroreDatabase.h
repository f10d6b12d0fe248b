#pragma once
// Errors of the database engine in words a clerk can act on. Each condition
// the office can meet (the database in use at another workstation, a
// read-only file or folder, a full disk, a damaged file...) has one Italian
// sentence that says what happened and what to do; the engine's own words
// follow it for the technician.

#include "Errore.h"

enum class CondizioneDb {
    InUso,         // another connection holds the lock longer than we wait
    SolaLettura,   // the file, its -wal/-shm companions or the folder
    DiscoPieno,
    ErroreDisco,   // an input/output error of the disk or the network share
    Danneggiato,   // a damaged page
    NonDatabase,   // not a database at all (or damaged in its header)
    NonApribile,
    Permesso,
    Memoria,
    TroppoGrande,
    // a database server
    ServerNonRaggiungibile,  // no server at Host and Port, or it does not answer in time
    AccessoNegato,           // user or password refused
    DatabaseMancante,        // no such database on the server
    ConnessionePersa,        // the server stopped, or the network went, during the work
    Altro,         // a fault of the program (a bad statement): shown as the engine words it
};

class ErroreDatabase : public Errore {
public:
    ErroreDatabase(CondizioneDb condizione, const QString& testo) : Errore(testo), condizione_(condizione) {}
    CondizioneDb condizione() const { return condizione_; }

private:
    CondizioneDb condizione_;
};

namespace ErroriDatabase {

// The condition of an engine result code, primary or extended.
CondizioneDb condizione(int codiceMotore);

// The clerk's sentence for a condition about the database `file` (empty for
// Altro). For a read-only database it looks at the folder, the file and its
// -wal and -shm companions and names the one that stops the writing.
QString frase(CondizioneDb condizione, const QString& file);

// The error for an engine result code: the sentence, then "Dettaglio
// tecnico: " and the engine's words; the engine's words alone for Altro.
ErroreDatabase errore(int codiceMotore, const QString& originale, const QString& file);

// The condition of a server's SQLSTATE (five characters).
CondizioneDb condizioneServer(const QString& stato);
// The error of a database server, as errore() words it: `database` names
// the database and its server.
ErroreDatabase erroreServer(CondizioneDb condizione, const QString& originale, const QString& database);

}  // namespace ErroriDatabase
