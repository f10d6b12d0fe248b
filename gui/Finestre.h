#pragma once
// Small things the secondary windows share: the dialog font, centring on the
// screen, the colours of a grid.

class QColor;
class QTableView;
class QWidget;

namespace Finestre {
// The dialog font of 8 points (Liberation Sans measures like Arial).
void caratterePredefinito(QWidget* w);
// Centres `w` on the screen it stands on; call before it is first shown.
void centraSulloSchermo(QWidget* w);
// Cell and title colours of a grid.
void coloriGriglia(QTableView* v, const QColor& celle, const QColor& titoli);
}  // namespace Finestre
