#pragma once
// Placement and looks shared by every window of the program.

class QColor;
class QTableView;
class QWidget;

namespace Finestre {
// A clerk's workstation speaks Italian: the Italian locale, and Qt's own
// translations (file and print dialogs, standard buttons, context menus)
// from Qt's translations folder. False when they are not installed.
bool linguaItaliana();

// Centres the window on the screen it is shown on (not over its parent).
void centraSulloSchermo(QWidget* finestra);

// The dialog font of 8 points (Liberation Sans measures like Arial).
void caratterePredefinito(QWidget* w);
// Cell and title colours of a grid.
void coloriGriglia(QTableView* v, const QColor& celle, const QColor& titoli);
}
