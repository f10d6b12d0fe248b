#include "Pittore.h"

#include "Caratteri.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace Pittore {

namespace {
template <class... F>
struct Visita : F... {
    using F::operator()...;
};

QColor colore(QRgb c) { return QColor::fromRgba(c); }
}  // namespace

void disegnaPagina(QPainter& p, const ReportPreparato& r, int indice)
{
    if (indice < 0 || indice >= r.numeroPagine())
        return;
    disegnaPagina(p, r, r.pagine[size_t(indice)]);
}

void disegnaPagina(QPainter& p, const ReportPreparato& r, const PaginaPreparata& pagina)
{
    QPaintDevice* dev = p.device();
    const double k = (dev ? dev->logicalDpiX() : 96) / 25.4;
    const double ky = (dev ? dev->logicalDpiY() : 96) / 25.4;
    std::vector<QFont> font;
    font.reserve(r.caratteri.size());
    for (const Carattere& c : r.caratteri)
        font.push_back(Caratteri::font(c));
    auto punto = [&](const QPointF& q) { return QPointF(q.x() * k, q.y() * ky); };
    auto rett = [&](const QRectF& q) { return QRectF(q.x() * k, q.y() * ky, q.width() * k, q.height() * ky); };

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    int fontAttuale = -1;
    for (const Primitiva& prim : pagina.primitive) {
        std::visit(
            Visita{[&](const TestoPreparato& t) {
                       if (qAlpha(t.sfondo))
                           p.fillRect(rett(t.riquadro), colore(t.sfondo));
                       if (t.righe.isEmpty())
                           return;
                       if (fontAttuale != t.carattere) {
                           p.setFont(font[t.carattere]);
                           fontAttuale = t.carattere;
                       }
                       p.setPen(colore(t.colore));
                       for (const auto& riga : t.righe) {
                           const QString s = t.riga(riga).toString();
                           const QPointF inizio(riga.x * k, riga.linea * ky);
                           if (riga.giustifica > 0) {
                               // the extra room goes into the blanks between words
                               const auto spazi = s.count(QLatin1Char(' '));
                               QFont f = font[t.carattere];
                               const double naturale = QFontMetricsF(f, dev).horizontalAdvance(s);
                               f.setWordSpacing((riga.giustifica * k - naturale) / double(spazi));
                               p.setFont(f);
                               p.drawText(inizio, s);
                               p.setFont(font[t.carattere]);
                           } else {
                               p.drawText(inizio, s);
                           }
                       }
                   },
                   [&](const LineaPreparata& l) {
                       QPen pen(colore(l.colore), std::max(0.0, double(l.spessore) * k),
                                l.stile == StileLinea::Punteggiata ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
                       p.setPen(pen);
                       p.drawLine(punto(l.da), punto(l.a));
                   },
                   [&](const RettangoloPreparato& q) {
                       if (qAlpha(q.riempimento))
                           p.fillRect(rett(q.riquadro), colore(q.riempimento));
                       if (qAlpha(q.bordo)) {
                           p.setPen(QPen(colore(q.bordo), double(q.spessore) * k));
                           p.setBrush(Qt::NoBrush);
                           p.drawRect(rett(q.riquadro));
                       }
                   },
                   [&](const ImmaginePreparata& i) { p.drawImage(rett(i.riquadro), i.immagine); }},
            prim);
    }
    p.restore();
}

}  // namespace Pittore
