#pragma once
// A band laid out: its height and its primitives, placed from the band's
// top-left corner. The preparation puts it on a page whole, or splits it at
// the page's end.

#include "ReportPreparato.h"

#include <functional>

struct BandaDisposta {
    double altezza = 0;
    std::vector<Primitiva> primitive;

    // Moves every primitive by (dx, dy).
    void trasla(double dx, double dy);

    // Splits at `disponibile` (mm from the band's top): what ends above the
    // cut stays here, the rest is returned, moved up by the cut. Text lines,
    // pictures and texts of one line do not split: the cut rises above them;
    // lines and rectangles across the cut are split in two. `discesa` gives
    // the descent of a text's font. Returns an empty band with the whole
    // height when nothing can stay above the cut.
    BandaDisposta dividi(double disponibile, const std::function<double(quint16 carattere)>& ascesa,
                         const std::function<double(quint16 carattere)>& discesa);
};

// Moves one primitive.
void trasla(Primitiva& p, double dx, double dy);
