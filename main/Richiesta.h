#pragma once
// The hand-off request of the waste-tax program: one fixed-width line in the
// exchange directory's rsuter.txt naming the taxpayer whose dossier to show,
// with the surface declared in the roll.

#include <QDate>
#include <QString>

class Query;

struct RichiestaContribuente {
    bool persona = false;     // a birth date is present
    QString nome;             // "SURNAME NAME" for a person, else the name of columns 1-60
    QDate nascita;            // the zero date 30/12/1899 when not a valid date
    QString codFisc;
    qint32 superficie = 0;    // 0 when the field is not a whole number
};

namespace Richiesta {

// Columns 1-30 surname, 31-60 first name (or 1-60 one name), 61-70 birth date
// dd/mm/yyyy, 71-86 tax code, 87-92 declared surface. A short line gives
// empty fields.
RichiestaContribuente analizza(const QString& riga);

// Moves the owner list to the taxpayer: by name and birth date (a person) or
// by name (otherwise), then by tax code. False when nothing matches.
bool trova(Query& elenco, const RichiestaContribuente& r);

// Text trimmed of blanks and control characters at both ends.
QString pulisci(QStringView testo);

}  // namespace Richiesta
