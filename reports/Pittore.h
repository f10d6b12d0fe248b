#pragma once
// Paints the pages of a prepared report onto any QPainter: the preview on
// the screen, the printer, a PDF file. It only paints: every position, line
// and break was decided by the preparation.

#include "ReportPreparato.h"

class QPainter;

namespace Pittore {
// Paints page `indice` (from 0) with the page's top-left corner at the
// painter's origin, a millimetre being the device's resolution / 25.4 in
// device units; a transform set on the painter (a zoom) applies on top.
void disegnaPagina(QPainter& p, const ReportPreparato& r, int indice);
// The same for a page handed over by a preparation page by page.
void disegnaPagina(QPainter& p, const ReportPreparato& r, const PaginaPreparata& pagina);
}
