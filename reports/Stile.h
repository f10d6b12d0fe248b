#pragma once
// The small values that a report's template and its prepared pages share:
// fonts, alignments, line styles and the units. Everything in a report is
// measured in millimetres; the widths that the report designer gave in
// screen pixels (rules "2 pixels thick") are pixels of 96 per inch.

#include <QRgb>
#include <QString>

namespace Misure {
constexpr double mmPerPunto = 25.4 / 72.0;
constexpr double mmPerPixel = 25.4 / 96.0;
constexpr double pixel(double n) { return n * mmPerPixel; }
}  // namespace Misure

struct Carattere {
    QString famiglia = QStringLiteral("Arial");
    double punti = 10;
    bool grassetto = false;
    bool corsivo = false;
    bool sottolineato = false;

    bool operator==(const Carattere&) const = default;
};

enum class Orizzontale : quint8 { Sinistra, Centro, Destra, Giustificato };
enum class Verticale : quint8 { Alto, Centro, Basso };
enum class StileLinea : quint8 { Continua, Punteggiata };

// A colour with no alpha means "none" (no background, no fill).
constexpr QRgb nessunColore = 0;
constexpr QRgb nero = 0xFF000000;
constexpr QRgb rgb(int r, int g, int b) { return 0xFF000000u | (QRgb(r) << 16) | (QRgb(g) << 8) | QRgb(b); }
