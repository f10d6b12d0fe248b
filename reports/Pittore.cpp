#include "Pittore.h"

#include "Caratteri.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QPaintDevice>
#include <QPainter>
#include <memory>

namespace Pittore {

namespace {
template <class... F>
struct Visita : F... {
    using F::operator()...;
};

QColor colore(QRgb c) { return QColor::fromRgba(c); }

// A font's glyphs at the device's size. A text line is drawn as a run of
// glyphs placed by their advances: what the preparation measured (kerning is
// off), without shaping every line again, which is most of the cost of a
// long PDF. A character the font lacks sends the line to drawText, whose
// font fallback finds it.
class Glifi {
public:
    Glifi(const QFont& f, double pixel) : raw_(QRawFont::fromFont(f)) { raw_.setPixelSize(pixel); }

    // false when some character has no glyph in this font
    bool disponi(QStringView testo, double x, double y, double extraSpazio, QGlyphRun& run)
    {
        indici_.resize(testo.size());
        int n = testo.size();
        if (!raw_.isValid() || !raw_.glyphIndexesForChars(reinterpret_cast<const QChar*>(testo.data()), int(testo.size()),
                                                         indici_.data(), &n))
            return false;
        indici_.resize(n);
        posizioni_.resize(n);
        avanzamenti_.resize(n);
        if (n > 0 && !raw_.advancesForGlyphIndexes(indici_.data(), avanzamenti_.data(), n))
            return false;
        for (qsizetype i = 0, c = 0; i < n; ++i, ++c) {
            if (indici_[i] == 0 && testo[c] != QLatin1Char(' '))
                return false;
            posizioni_[i] = QPointF(x, y);
            x += avanzamenti_[i].x();
            if (testo[c] == QLatin1Char(' '))
                x += extraSpazio;
            if (QChar::isHighSurrogate(testo[c].unicode()))
                ++c;
        }
        run.setRawFont(raw_);
        run.setGlyphIndexes(indici_);
        run.setPositions(posizioni_);
        return true;
    }
    double larghezza(QStringView testo)
    {
        QGlyphRun r;
        if (!disponi(testo, 0, 0, 0, r) || posizioni_.isEmpty())
            return -1;
        return posizioni_.last().x() + avanzamenti_.last().x();
    }

private:
    QRawFont raw_;
    QList<quint32> indici_;
    QList<QPointF> posizioni_, avanzamenti_;
};
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
    std::vector<std::unique_ptr<Glifi>> glifi(r.caratteri.size());
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
                       auto& g = glifi[t.carattere];
                       if (!g) {
                           const Carattere& c = r.caratteri[t.carattere];
                           g = std::make_unique<Glifi>(font[t.carattere], c.punti * ky * 25.4 / 72.0);
                       }
                       for (const auto& riga : t.righe) {
                           const QStringView v = t.riga(riga);
                           const QPointF inizio(riga.x * k, riga.linea * ky);
                           double extra = 0;
                           if (riga.giustifica > 0) {
                               const auto spazi = v.count(QLatin1Char(' '));
                               const double naturale = g->larghezza(v);
                               extra = spazi > 0 && naturale >= 0 ? (riga.giustifica * k - naturale) / double(spazi) : 0;
                           }
                           QGlyphRun run;
                           if (g->disponi(v, 0, 0, extra, run)) {
                               run.setUnderline(r.caratteri[t.carattere].sottolineato);
                               p.drawGlyphRun(inizio, run);
                               continue;
                           }
                           const QString s = v.toString();
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
