#pragma once
// The records of the "dati metrici" supply file: how a line is split into
// fields, which operation its record type goes to, and which field fills
// which column.

#include <QString>
#include <QStringView>
#include <vector>

class TdTabelle;

// The fields of one line, each ended by "|"; field n (from 1) beyond the last
// bar is the end marker "$". Split once, read many times.
class CampiRiga {
public:
    explicit CampiRiga(QStringView riga);
    QString operator()(int n) const;
    // The same text without a copy: it points into the line, so it must not
    // outlive it (the row buffer of one record does not).
    QString vista(int n) const;
    bool fine(int n) const { return n < 1 || n > int(campi_.size()); }  // field n is "$"
    int barre() const { return int(campi_.size()); }

private:
    std::vector<QStringView> campi_;
};

namespace Fornitura {

enum class Tipo { Unita, Identificativi, Indirizzi, Ambienti, PersonaFisica, PersonaGiuridica, Riepilogo, Nessuno };

// Field 5 decides, before field 3: exact texts, no trimming, no case folding.
Tipo tipo(const CampiRiga& campi);

// A supply date DDMMYYYY as the text DD/MM/YYYY read by a date column.
QString Data(const QString& campo);

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
