#pragma once
// The import run: replaces the managing municipality's supply with the
// content of a supply file, in one transaction.

#include "Avanzamento.h"
#include "Errore.h"

#include <QString>
#include <optional>

class TdTabelle;

// The last line does not begin with the managing municipality's code.
class ComuneNonCorrisponde : public Errore {
public:
    ComuneNonCorrisponde() : Errore(QStringLiteral("Il codice Comune non corrisponde. Import interrotto.")) {}
};

struct RisultatoImport {
    qint64 righe = 0;             // lines of the file
    qint64 unita = 0;             // unit records (type 1) among them
    bool ultimaRiepilogo = false;  // the last line is a summary record
    std::optional<qint64> totUiu;  // its TotUIU
    // Empty when the log was folded back into the database file after the
    // commit; otherwise what the clerk must know (the data is safe).
    QString avvisoRegistro;
};

// Counts the lines, checks the municipality on the last one, then deletes the
// managing municipality's supply and loads the file line by line. The deletion
// and the load are one transaction: on any error (raised as Errore, naming the
// line) the database is as it was. Raises ComuneNonCorrisponde before touching it.
RisultatoImport ImportaFile(TdTabelle& dati, const QString& file, Avanzamento* avanzamento = nullptr);

// What to check after a run that succeeded: the last line is not the summary
// record, or the summary's TotUIU differs from the unit records read (a file
// cut short by a failed copy passes the municipality check, since every line
// begins with the code). Empty when they agree.
QString AvvisoRiepilogo(const RisultatoImport& r);
