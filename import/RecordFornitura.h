#pragma once
// The records of the "dati metrici" supply file: how a line is split into
// fields, which operation its record type goes to, and which field fills
// which column.

#include "CampiRiga.h"

#include <QString>
#include <QStringView>

class TdTabelle;

namespace Fornitura {

enum class Tipo { Unita, Identificativi, Indirizzi, Ambienti, PersonaFisica, PersonaGiuridica, Riepilogo, Nessuno };

// Field 5 decides, before field 3: exact texts, no trimming, no case folding.
Tipo tipo(const CampiRiga& campi);

// A supply date DDMMYYYY as the text DD/MM/YYYY read by a date column.
QString Data(QStringView campo);

void ImportaUnita(TdTabelle& d, const CampiRiga& c);
void ImportaIdentificativi(TdTabelle& d, const CampiRiga& c);
void ImportaIndirizzi(TdTabelle& d, const CampiRiga& c);
void ImportaAmbienti(TdTabelle& d, const CampiRiga& c);
void ImportaPersonaFisica(TdTabelle& d, const CampiRiga& c);
void ImportaPersonaGiuridica(TdTabelle& d, const CampiRiga& c);
void ImportaRiepilogo(TdTabelle& d, const CampiRiga& c);

// Hands the line to the operation of its type; a line of no known type is skipped.
void importa(TdTabelle& d, const CampiRiga& c);

}  // namespace Fornitura
