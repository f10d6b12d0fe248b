#pragma once
// Text measurement for the preparation of a report: widths and line heights
// in millimetres, and the breaking of a text into lines. Widths are measured
// at 7200 dots per inch, where rounding no longer shows, and kept per
// character: a hundred thousand rows measure in a blink.

#include "Stile.h"

#include <QString>
#include <memory>
#include <vector>

class Misuratore {
public:
    Misuratore();
    ~Misuratore();

    struct Metriche {
        double ascesa = 0, discesa = 0, interlinea = 0;  // mm
    };
    const Metriche& metriche(const Carattere& c);
    double larghezza(const Carattere& c, QStringView testo);

    // A line of a broken text: a part of the text, without the blanks where it broke.
    struct Riga {
        int inizio = 0, lunghezza = 0;
        bool ultimaDelParagrafo = false;  // a justified text does not stretch it
    };
    // Breaks at blanks so that no line is wider than `larghezza`; a word that
    // does not fit a line of its own breaks anywhere; a line feed ends a paragraph.
    std::vector<Riga> spezza(const Carattere& c, const QString& testo, double larghezza);
    // How many characters of a one-line text fit in `larghezza`.
    int quantiEntrano(const Carattere& c, QStringView testo, double larghezza);

private:
    struct Font;
    Font& font(const Carattere& c);
    std::vector<std::unique_ptr<Font>> font_;
    Font* ultimo_ = nullptr;
};
