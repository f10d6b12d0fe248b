#pragma once
// What a long run (the supply import, the roll load) tells the window or the
// console while it works: the lines it will read, each line read, the end.
// The core knows nothing of progress bars; the window supplies one backed by
// its bar, sorvel-cli one that prints to stderr.

#include <QtGlobal>

class Avanzamento {
public:
    virtual ~Avanzamento() = default;
    virtual void inizio(qint64 righe) { (void)righe; }
    virtual void passo() {}
    virtual void fine() {}
};
