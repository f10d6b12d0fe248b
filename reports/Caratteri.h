#pragma once
// The fonts of the reports. Arial is drawn with Liberation Sans, whose glyphs
// have Arial's widths, wherever Arial is not installed: texts then measure,
// wrap and break pages alike on every workstation. Kerning is off, so that a
// line is as wide as the sum of its characters, when measured and when drawn.

#include "Stile.h"

#include <QFont>

namespace Caratteri {
// Needs a QGuiApplication; the substitution is set once.
QFont font(const Carattere& c);
}
