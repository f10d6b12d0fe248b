#include "VistaPagine.h"

#include "Pittore.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {
constexpr int margine = 12;  // pixels around the pages and between them
}

VistaPagine::VistaPagine(QWidget* parent) : QAbstractScrollArea(parent)
{
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
}

void VistaPagine::impostaReport(std::shared_ptr<const ReportPreparato> r)
{
    report_ = std::move(r);
    evidenziataPagina_ = -1;
    aggiornaBarre();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    notificaPagina();
}

double VistaPagine::pxPerMm() const { return logicalDpiX() / 25.4 * zoom_; }

QSizeF VistaPagine::pagina() const
{
    if (!report_)
        return {};
    return QSizeF(report_->larghezza * pxPerMm(), report_->altezza * pxPerMm() * logicalDpiY() / logicalDpiX());
}

double VistaPagine::passo() const { return pagina().height() + margine; }

QRectF VistaPagine::rettangoloPagina(int indice) const
{
    const QSizeF p = pagina();
    const double larghezzaTotale = std::max(p.width() + 2 * margine, double(viewport()->width()));
    return QRectF((larghezzaTotale - p.width()) / 2, margine + indice * passo(), p.width(), p.height());
}

void VistaPagine::impostaZoom(double z)
{
    z = std::clamp(z, 0.1, 8.0);
    if (std::abs(z - zoom_) < 1e-9)
        return;
    const int corrente = paginaCorrente();
    zoom_ = z;
    aggiornaBarre();
    vaiAPagina(corrente);
    viewport()->update();
}

double VistaPagine::zoomLarghezzaPagina() const
{
    if (!report_)
        return 1;
    const double a100 = report_->larghezza * logicalDpiX() / 25.4;
    return std::max(0.1, (viewport()->width() - 2.0 * margine) / a100);
}

double VistaPagine::zoomPaginaIntera() const
{
    if (!report_)
        return 1;
    const double h100 = report_->altezza * logicalDpiY() / 25.4;
    return std::min(zoomLarghezzaPagina(), std::max(0.1, (viewport()->height() - 2.0 * margine) / h100));
}

void VistaPagine::aggiornaBarre()
{
    if (!report_) {
        verticalScrollBar()->setRange(0, 0);
        horizontalScrollBar()->setRange(0, 0);
        return;
    }
    const QSizeF p = pagina();
    const double altezza = margine + report_->numeroPagine() * passo();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(altezza)) - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(p.width() + 2 * margine)) - viewport()->width()));
}

int VistaPagine::paginaCorrente() const
{
    if (!report_ || report_->numeroPagine() == 0)
        return -1;
    // the page with the most of it in view
    const double alto = verticalScrollBar()->value(), basso = alto + viewport()->height();
    const int prima = std::clamp(int((alto - margine) / passo()), 0, report_->numeroPagine() - 1);
    int migliore = prima;
    double area = -1;
    for (int i = prima; i < report_->numeroPagine(); ++i) {
        const QRectF r = rettangoloPagina(i);
        if (r.top() > basso)
            break;
        const double vista = std::min(r.bottom(), basso) - std::max(r.top(), alto);
        if (vista > area + 0.5) {
            area = vista;
            migliore = i;
        }
    }
    return migliore;
}

void VistaPagine::vaiAPagina(int indice)
{
    if (!report_ || report_->numeroPagine() == 0)
        return;
    indice = std::clamp(indice, 0, report_->numeroPagine() - 1);
    verticalScrollBar()->setValue(int(rettangoloPagina(indice).top()) - margine);
    notificaPagina();
}

void VistaPagine::evidenzia(int pagina, const QRectF& riquadro)
{
    evidenziataPagina_ = pagina;
    evidenziato_ = riquadro;
    if (pagina >= 0 && report_) {
        const QRectF p = rettangoloPagina(pagina);
        const double k = pxPerMm(), ky = k * logicalDpiY() / logicalDpiX();
        const QRectF r(p.left() + riquadro.left() * k, p.top() + riquadro.top() * ky, riquadro.width() * k,
                       riquadro.height() * ky);
        const int alto = verticalScrollBar()->value(), altezza = viewport()->height();
        if (r.top() < alto || r.bottom() > alto + altezza)
            verticalScrollBar()->setValue(int(r.center().y()) - altezza / 2);
        const int sinistra = horizontalScrollBar()->value(), larghezza = viewport()->width();
        if (r.left() < sinistra || r.right() > sinistra + larghezza)
            horizontalScrollBar()->setValue(int(r.center().x()) - larghezza / 2);
    }
    viewport()->update();
    notificaPagina();
}

void VistaPagine::paintEvent(QPaintEvent* e)
{
    dipinteUltima_ = 0;
    if (!report_)
        return;
    QPainter p(viewport());
    const double dx = horizontalScrollBar()->value(), dy = verticalScrollBar()->value();
    const QRectF visibile = QRectF(e->rect()).translated(dx, dy);
    const int n = report_->numeroPagine();
    for (int i = std::clamp(int((visibile.top() - margine) / passo()), 0, std::max(0, n - 1)); i < n; ++i) {
        const QRectF r = rettangoloPagina(i);
        if (r.top() > visibile.bottom())
            break;
        if (!r.intersects(visibile))
            continue;
        const QRectF schermo = r.translated(-dx, -dy);
        p.fillRect(schermo.translated(3, 3), QColor(0, 0, 0, 90));
        p.fillRect(schermo, Qt::white);
        p.save();
        p.setClipRect(schermo);
        p.translate(schermo.topLeft());
        p.scale(zoom_, zoom_);
        Pittore::disegnaPagina(p, *report_, i);
        p.restore();
        if (i == evidenziataPagina_) {
            const double k = pxPerMm(), ky = k * logicalDpiY() / logicalDpiX();
            const QRectF h(schermo.left() + evidenziato_.left() * k, schermo.top() + evidenziato_.top() * ky,
                           evidenziato_.width() * k, evidenziato_.height() * ky);
            p.fillRect(h, QColor(255, 200, 0, 110));
            p.setPen(QPen(QColor(220, 120, 0), 1));
            p.drawRect(h);
        }
        ++dipinteUltima_;
    }
    dipinteTotale_ += dipinteUltima_;
}

void VistaPagine::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    aggiornaBarre();
}

void VistaPagine::scrollContentsBy(int, int)
{
    viewport()->update();
    notificaPagina();
}

void VistaPagine::notificaPagina()
{
    const int p = paginaCorrente();
    if (p != ultimaNotificata_) {
        ultimaNotificata_ = p;
        Q_EMIT paginaCambiata(p);
    }
}
