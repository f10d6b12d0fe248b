#pragma once
// The import run: replaces the managing municipality's supply with the
// content of a supply file, in one transaction.

#include "Avanzamento.h"
#include "Errore.h"

#include <QString>

class TdTabelle;

// The last line does not begin with the managing municipality's code.
class ComuneNonCorrisponde : public Errore {
public:
    ComuneNonCorrisponde() : Errore(QStringLiteral("Il codice Comune non corrisponde. Import interrotto.")) {}
};

struct RisultatoImport {
    qint64 righe = 0;  // lines of the file
};

// Counts the lines, checks the municipality on the last one, then deletes the
// managing municipality's supply and loads the file line by line. The deletion
// and the load are one transaction: on any error (raised as Errore, naming the
// line) the database is as it was. Raises ComuneNonCorrisponde before touching it.
RisultatoImport ImportaFile(TdTabelle& dati, const QString& file, Avanzamento* avanzamento = nullptr);
