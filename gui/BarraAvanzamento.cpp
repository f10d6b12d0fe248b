#include "BarraAvanzamento.h"

#include <QProgressBar>

#include <algorithm>
#include <limits>

void BarraAvanzamento::inizio(qint64 righe)
{
    barra_->setMaximum(int(std::min<qint64>(righe, std::numeric_limits<int>::max())));
    barra_->setValue(0);
    barra_->show();
    barra_->repaint();
    fatte_ = 0;
    orologio_.start();
}

void BarraAvanzamento::passo()
{
    ++fatte_;
    if ((fatte_ & 0x3FF) == 0 && orologio_.elapsed() >= 100) {
        orologio_.restart();
        barra_->setValue(int(std::min<qint64>(fatte_, barra_->maximum())));
        barra_->repaint();
    }
}

void BarraAvanzamento::fine() { barra_->hide(); }
