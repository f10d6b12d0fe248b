#pragma once
// One line of the waste-tax roll (rsutot.txt): a fixed-width record of 198
// columns, one taxpayer with the surface declared. The fields are cut out as
// texts here; converting them to numbers and dates is left to the columns of
// tRsuTot they are stored in, whose errors name the column and quote the text.

#include <QString>
#include <QStringView>

struct RigaRuolo {
    QString codice;     // columns 1-6, untrimmed: blanks are allowed only before the number
    QString cognome;    // 7-36, surname or the first part of a company name
    QString nome;       // 37-66, first name or the rest of a company name
    QString nData;      // 67-76, birth date dd/mm/yyyy, empty for a company
    QString codFisc;    // 77-92
    QString ruolo;      // 93-98, declared surface
    QString indirizzo;  // 99-148
    QString citta;      // 149-198

    static constexpr int lunghezza = 198;

    // Cuts a line into its fields. A short line gives what it holds (the
    // fields beyond its end empty); characters after column 198 are ignored.
    // Every field but the code is trimmed of blanks and control characters.
    static RigaRuolo analizza(QStringView riga);

    // The name the owner list is searched for. With a birth date, a person:
    // surname, one blank, first name, trimmed (the supply's form of a
    // person's name). Without, a company whose name the roll splits across
    // the two fields: the two joined as they stand.
    QString nomeRicerca() const;
};
