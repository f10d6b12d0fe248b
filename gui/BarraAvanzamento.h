#pragma once
// A window's progress bar behind a long run. The run does not return to the
// event loop, so the bar is repainted by hand, a few times a second: it
// moves, and costs nothing measurable.

#include "Avanzamento.h"

#include <QElapsedTimer>

class QProgressBar;

class BarraAvanzamento : public Avanzamento {
public:
    explicit BarraAvanzamento(QProgressBar* barra) : barra_(barra) {}
    // The line count as maximum, position 0, the bar shown.
    void inizio(qint64 righe) override;
    void passo() override;
    void fine() override;  // hides the bar

private:
    QProgressBar* barra_;
    qint64 fatte_ = 0;
    QElapsedTimer orologio_;
};
