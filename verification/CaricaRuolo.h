#pragma once
// The roll load: replaces the content of tRsuTot with the waste-tax roll,
// one row per line, each taxpayer looked up among the owners of the managing
// municipality and, when found, compared with the cadastral surface.

#include "Avanzamento.h"
#include "Errore.h"

#include <QString>
#include <QVariant>

class Query;
class TdTabelle;

struct RisultatoRuolo {
    qint64 righe = 0;    // lines read, rows stored
    qint64 trovati = 0;  // taxpayers found among the owners
    // Committed, but not yet all in the database file (Connessione::consolidaRegistro).
    QString avvisoRegistro;
};

// Opens the roll file, counts its lines, then empties tRsuTot and stores one
// row per line, all in one transaction: on any error (raised as Errore; a
// line's error names the line and quotes the offending text and column)
// tRsuTot keeps the previous load. `elenco` is the owner list of the main
// window, open; its views do not follow the searches, and it stands on its
// first row at the end, however the run ends.
RisultatoRuolo CaricaRuolo(TdTabelle& dati, Query& elenco, const QString& file, Avanzamento* avanzamento = nullptr);

// Moves the owner list to the taxpayer: by name and birth date, then by the
// beginning of the tax code. `nascita` is the birth date, null when the roll
// has none: it then finds an owner without a birth date (a company) of that
// name. False, with the cursor where it was, when neither search finds one.
bool CercaContribuente(Query& elenco, const QString& nome, const QVariant& nascita, const QString& codFisc);
