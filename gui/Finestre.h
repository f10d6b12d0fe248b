#pragma once
// Placement shared by every window of the program.

class QWidget;

namespace Finestre {
// A clerk's workstation speaks Italian: the Italian locale, and Qt's own
// translations (file and print dialogs, standard buttons, context menus)
// from Qt's translations folder. False when they are not installed.
bool linguaItaliana();

// Centres the window on the screen it is shown on (not over its parent).
void centraSulloSchermo(QWidget* finestra);
}
