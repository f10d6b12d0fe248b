#pragma once
// The comparison of an owner's cadastral surface with the surface declared
// in the waste-tax roll: the taxable surface may not be less than 80 % of the
// cadastral one (art. 1, comma 340, L. 311/2004).

#include <QString>

class TdTabelle;

struct Confronto {
    QString totaleTesto;   // empty when the owner has no unit with a surface
    qint32 totale = 0;     // 0 when null
    qint32 ruolo = 0;
    qint32 differenza = 0;    // totale - ruolo, with its sign
    qint32 dichiarabile = 0;  // 80 % of totale, rounded to nearest
    qint32 accertabile = 0;   // dichiarabile - ruolo, with its sign
};

// 80 % of a surface, rounded to the nearest whole number (never a tie).
qint32 Dichiarabile(qint32 totale);

// Sums Superficie over the owner's units of the managing municipality, each
// unit once however many times the owner is listed on it. Runs on qGeneric.
Confronto ConfrontoSuperfici(TdTabelle& dati, const QString& codice, qint64 soggetto, qint32 ruolo);
