// Disegna le immagini della barra strumenti di Sorvel e le salva come PNG.
//
// Uso:
//   QT_QPA_PLATFORM=offscreen disegna_icone CARTELLA_USCITA [--pulsanti CARTELLA] [--anteprima CARTELLA]
//
// Ogni immagine e' 32x32, ARGB32, con sfondo trasparente. Con --pulsanti si
// ottengono anche le immagini dei pulsanti della verifica del ruolo
// (verification/immagini), ognuna in tre stati: normale, disabilitata
// (_dis) e premuta (_pre). Con --anteprima
// si ottengono anche le versioni ingrandite a 256x256 su fondo grigio chiaro
// (come la barra strumenti) e un foglio riassuntivo, utili per il controllo
// a occhio dei disegni.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int kLato = 32;

// Tavolozza comune a tutte le immagini.
namespace colore {
const QColor contorno{0x2e, 0x3b, 0x48};
const QColor blu{0x3a, 0x78, 0xc2};
const QColor bluChiaro{0x9c, 0xc4, 0xef};
const QColor verde{0x2f, 0x9e, 0x44};
const QColor verdeScuro{0x1d, 0x66, 0x2b};
const QColor carta{0xfd, 0xfd, 0xfb};
const QColor righe{0x8d, 0x9a, 0xa8};
const QColor giallo{0xf2, 0xc5, 0x4e};
const QColor gialloScuro{0xd4, 0x9a, 0x2a};
const QColor grigio{0x7d, 0x8a, 0x97};
const QColor grigioChiaro{0xc9, 0xd2, 0xdb};
const QColor grigioScuro{0x4a, 0x58, 0x66};
const QColor rosso{0xd0, 0x45, 0x3a};
const QColor rossoScuro{0x8e, 0x2a, 0x22};
const QColor legno{0xb5, 0x7d, 0x46};
const QColor legnoScuro{0x7a, 0x50, 0x28};
} // namespace colore

QPen tratto(const QColor &c, qreal larghezza = 1.0)
{
    QPen p(c, larghezza);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

// Foglio con l'angolo piegato in alto a destra.
void foglio(QPainter &p, const QRectF &r, qreal piega = 4.0)
{
    QPainterPath sagoma;
    sagoma.moveTo(r.left(), r.top());
    sagoma.lineTo(r.right() - piega, r.top());
    sagoma.lineTo(r.right(), r.top() + piega);
    sagoma.lineTo(r.right(), r.bottom());
    sagoma.lineTo(r.left(), r.bottom());
    sagoma.closeSubpath();
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawPath(sagoma);

    QPainterPath orecchia;
    orecchia.moveTo(r.right() - piega, r.top());
    orecchia.lineTo(r.right() - piega, r.top() + piega);
    orecchia.lineTo(r.right(), r.top() + piega);
    p.setBrush(colore::grigioChiaro);
    p.drawPath(orecchia);
}

// Righe di testo dentro un foglio.
void righeTesto(QPainter &p, qreal x1, qreal x2, qreal y, qreal passo, int quante)
{
    p.setPen(tratto(colore::righe, 1.0));
    for (int i = 0; i < quante; ++i) {
        const qreal yy = y + i * passo;
        // l'ultima riga piu' corta, come un paragrafo
        const qreal fine = (i == quante - 1 && quante > 1) ? x1 + (x2 - x1) * 0.6 : x2;
        p.drawLine(QPointF(x1, yy), QPointF(fine, yy));
    }
}

void triangolo(QPainter &p, const QPolygonF &punti)
{
    p.setPen(tratto(colore::contorno, 1.2));
    p.setBrush(colore::blu);
    p.drawPolygon(punti);
}

void barra(QPainter &p, const QRectF &r)
{
    p.setPen(tratto(colore::contorno, 1.2));
    p.setBrush(colore::blu);
    p.drawRoundedRect(r, 0.8, 0.8);
}

// Freccia piena con punta verso il basso.
QPolygonF frecciaGiu(qreal cx, qreal yInizio, qreal yPunta, qreal mezzoFusto, qreal mezzaPunta,
                     qreal altezzaPunta)
{
    const qreal yBase = yPunta - altezzaPunta;
    return QPolygonF({QPointF(cx - mezzoFusto, yInizio), QPointF(cx + mezzoFusto, yInizio),
                      QPointF(cx + mezzoFusto, yBase), QPointF(cx + mezzaPunta, yBase),
                      QPointF(cx, yPunta), QPointF(cx - mezzaPunta, yBase),
                      QPointF(cx - mezzoFusto, yBase)});
}

// Freccia piena con punta verso destra.
QPolygonF frecciaDestra(qreal cy, qreal xInizio, qreal xPunta, qreal mezzoFusto, qreal mezzaPunta,
                        qreal lunghezzaPunta)
{
    const qreal xBase = xPunta - lunghezzaPunta;
    return QPolygonF({QPointF(xInizio, cy - mezzoFusto), QPointF(xBase, cy - mezzoFusto),
                      QPointF(xBase, cy - mezzaPunta), QPointF(xPunta, cy),
                      QPointF(xBase, cy + mezzaPunta), QPointF(xBase, cy + mezzoFusto),
                      QPointF(xInizio, cy + mezzoFusto)});
}

// Corpo di una stampante: la fascia scura frontale e la spia accesa.
void corpoStampante(QPainter &p, const QRectF &corpo, const QRectF &fascia, const QPointF &spia)
{
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::grigioChiaro);
    p.drawRoundedRect(corpo, 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(colore::grigio);
    p.drawRect(fascia);
    p.setPen(tratto(colore::contorno));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(corpo, 2.5, 2.5);
    p.setPen(tratto(colore::verdeScuro, 0.8));
    p.setBrush(colore::verde);
    p.drawEllipse(spia, 1.5, 1.5);
}

// --- Singole immagini --------------------------------------------------------

void disegnaImport(QPainter &p)
{
    // documento della fornitura
    foglio(p, QRectF(2.5, 1.5, 12, 15), 4);
    righeTesto(p, 5, 12, 7.5, 2.5, 4);

    // archivio: cilindro con due anelli
    const qreal x = 8.5, w = 21, yTop = 14.5, h = 6, yFondo = 23.5;
    QPainterPath corpo;
    corpo.moveTo(x, yTop + h / 2);
    corpo.lineTo(x, yFondo + h / 2);
    corpo.arcTo(QRectF(x, yFondo, w, h), 180, 180);
    corpo.lineTo(x + w, yTop + h / 2);
    corpo.arcTo(QRectF(x, yTop, w, h), 0, -180);
    corpo.closeSubpath();
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::blu);
    p.drawPath(corpo);
    p.setBrush(Qt::NoBrush);
    p.setPen(tratto(colore::bluChiaro, 1.0));
    for (const qreal y : {yTop + 3.2, yTop + 6.2})
        p.drawArc(QRectF(x + 0.8, y, w - 1.6, h), 195 * 16, 150 * 16);
    // coperchio
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::bluChiaro);
    p.drawEllipse(QRectF(x, yTop, w, h));

    // freccia verde che entra nell'archivio
    p.setPen(tratto(colore::verdeScuro, 1.0));
    p.setBrush(colore::verde);
    p.drawPolygon(frecciaGiu(21.5, 1.5, yTop + h / 2 + 0.5, 2.6, 6.5, 7.0));
}

void disegnaPrimo(QPainter &p)
{
    barra(p, QRectF(5.5, 7.5, 4, 17));
    triangolo(p, QPolygonF({QPointF(26.5, 7.5), QPointF(26.5, 24.5), QPointF(11.5, 16)}));
}

void disegnaPrecedente(QPainter &p)
{
    triangolo(p, QPolygonF({QPointF(22.5, 6.5), QPointF(22.5, 25.5), QPointF(8.5, 16)}));
}

void disegnaProssimo(QPainter &p)
{
    triangolo(p, QPolygonF({QPointF(9.5, 6.5), QPointF(9.5, 25.5), QPointF(23.5, 16)}));
}

void disegnaUltimo(QPainter &p)
{
    triangolo(p, QPolygonF({QPointF(5.5, 7.5), QPointF(5.5, 24.5), QPointF(20.5, 16)}));
    barra(p, QRectF(22.5, 7.5, 4, 17));
}

void disegnaCerca(QPainter &p)
{
    const QPointF centro(13, 13);
    const qreal raggio = 8.5;

    // manico
    QPen manico(colore::legnoScuro, 6.0);
    manico.setCapStyle(Qt::RoundCap);
    p.setPen(manico);
    p.drawLine(QPointF(20, 20), QPointF(27.5, 27.5));
    manico.setColor(colore::legno);
    manico.setWidthF(3.8);
    p.setPen(manico);
    p.drawLine(QPointF(20.5, 20.5), QPointF(27.3, 27.3));

    // vetro
    p.setPen(Qt::NoPen);
    p.setBrush(colore::bluChiaro);
    p.drawEllipse(centro, raggio, raggio);
    // riflesso
    p.setPen(tratto(colore::carta, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centro.x() - 5, centro.y() - 5, 10, 10), 100 * 16, 70 * 16);

    // ghiera
    p.setPen(tratto(colore::grigioScuro, 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centro, raggio, raggio);
}

void disegnaDocumenti(QPainter &p)
{
    // dorso della cartella con linguetta
    QPainterPath dorso;
    dorso.moveTo(2.5, 27.5);
    dorso.lineTo(2.5, 6.5);
    dorso.lineTo(11.5, 6.5);
    dorso.lineTo(13.5, 9.5);
    dorso.lineTo(28.5, 9.5);
    dorso.lineTo(28.5, 27.5);
    dorso.closeSubpath();
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::gialloScuro);
    p.drawPath(dorso);

    // fogli che spuntano
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(8.5, 3.5, 17, 14));
    righeTesto(p, 11, 23, 6.5, 2.5, 2);
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(5.5, 6.5, 17, 12));
    righeTesto(p, 8, 20, 9.5, 2.5, 2);

    // falda anteriore
    QPainterPath falda;
    falda.moveTo(4.5, 13.5);
    falda.lineTo(30.5, 13.5);
    falda.lineTo(28.5, 27.5);
    falda.lineTo(2.5, 27.5);
    falda.closeSubpath();
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::giallo);
    p.drawPath(falda);
}

void disegnaParametri(QPainter &p)
{
    const QPointF c(16, 16);
    const int denti = 8;
    const qreal rEsterno = 13.5, rInterno = 10.5;
    const qreal passo = 2 * std::numbers::pi / denti;
    // frazioni del passo: meta' dente in punta, raccordo, vano
    const qreal mezzaPunta = passo * 0.16, mezzaBase = passo * 0.26;

    QPolygonF ruota;
    for (int i = 0; i < denti; ++i) {
        const qreal a = i * passo - std::numbers::pi / 2;
        auto punto = [&](qreal ang, qreal r) {
            return QPointF(c.x() + r * std::cos(ang), c.y() + r * std::sin(ang));
        };
        ruota << punto(a - mezzaBase, rInterno) << punto(a - mezzaPunta, rEsterno)
              << punto(a + mezzaPunta, rEsterno) << punto(a + mezzaBase, rInterno);
    }
    QPainterPath sagoma;
    sagoma.addPolygon(ruota);
    sagoma.closeSubpath();
    QPainterPath foro;
    foro.addEllipse(c, 4.2, 4.2);
    sagoma = sagoma.subtracted(foro);

    p.setPen(tratto(colore::contorno, 1.1));
    p.setBrush(colore::grigio);
    p.drawPath(sagoma);

    // anello interno piu' chiaro per dare corpo alla ruota
    QPainterPath anello;
    anello.addEllipse(c, 7.5, 7.5);
    anello = anello.subtracted(foro);
    p.setPen(Qt::NoPen);
    p.setBrush(colore::grigioChiaro);
    p.drawPath(anello);
    p.setPen(tratto(colore::contorno, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 4.2, 4.2);
}

void disegnaStampa(QPainter &p)
{
    // foglio in ingresso sul retro
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(8.5, 2.5, 15, 10));

    corpoStampante(p, QRectF(2.5, 10.5, 27, 13), QRectF(3.2, 18.5, 25.6, 4.3), QPointF(25, 14.5));
    // fessura di uscita
    p.setPen(tratto(colore::contorno, 1.2));
    p.drawLine(QPointF(7, 19.5), QPointF(25, 19.5));

    // foglio stampato
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(8.5, 19.5, 15, 10));
    righeTesto(p, 11, 21, 22.5, 2.5, 3);
}

void disegnaProspetto(QPainter &p)
{
    // il foglio del prospetto: intestazione, righe della tabella, totale
    foglio(p, QRectF(4.5, 2.5, 20, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(colore::blu);
    p.drawRect(QRectF(7, 5.5, 11, 2.2));
    p.setPen(tratto(colore::righe, 1.0));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 11.5 + i * 3;
        p.drawLine(QPointF(7, y), QPointF(15, y));
        p.drawLine(QPointF(17, y), QPointF(21.5, y));
    }
    p.setPen(tratto(colore::contorno, 1.2));
    p.drawLine(QPointF(7, 23.5), QPointF(21.5, 23.5));
    p.setPen(tratto(colore::verdeScuro, 1.6));
    p.drawLine(QPointF(16.5, 26), QPointF(21.5, 26));

    // la lente dell'anteprima
    const QPointF centro(23, 21);
    QPen manico(colore::legnoScuro, 4.0);
    manico.setCapStyle(Qt::RoundCap);
    p.setPen(manico);
    p.drawLine(QPointF(26.5, 24.5), QPointF(29.5, 29.5));
    p.setPen(tratto(colore::grigioScuro, 2.0));
    p.setBrush(QColor(0x9c, 0xc4, 0xef, 170));
    p.drawEllipse(centro, 5, 5);
}

void disegnaVerifica(QPainter &p)
{
    // tavoletta
    p.setPen(tratto(colore::legnoScuro));
    p.setBrush(colore::legno);
    p.drawRoundedRect(QRectF(4.5, 3.5, 23, 27), 2, 2);
    // foglio
    p.setPen(tratto(colore::contorno, 0.8));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(7.5, 6.5, 17, 21));
    // molla
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::grigio);
    p.drawRoundedRect(QRectF(10.5, 1.5, 11, 6), 1.5, 1.5);
    p.setBrush(colore::grigioChiaro);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(12, 3, 8, 1.5));

    // righe con la spunta
    for (int i = 0; i < 3; ++i) {
        const qreal y = 12.5 + i * 5.5;
        QPen spunta(colore::verde, 2.0);
        spunta.setCapStyle(Qt::RoundCap);
        spunta.setJoinStyle(Qt::RoundJoin);
        p.setPen(spunta);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(9.5, y), QPointF(11.2, y + 1.8), QPointF(14.5, y - 2)}));
        p.setPen(tratto(colore::righe, 1.4));
        p.drawLine(QPointF(16.5, y), QPointF(22.5, y));
    }
}

void disegnaUscita(QPainter &p)
{
    // stipite con il vano scuro della porta aperta
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::grigioScuro);
    p.drawRect(QRectF(3.5, 2.5, 15, 25));

    // anta aperta verso chi guarda, incernierata a sinistra
    QPolygonF anta({QPointF(3.5, 2.5), QPointF(12.5, 5.0), QPointF(12.5, 29.5),
                    QPointF(3.5, 27.5)});
    p.setPen(tratto(colore::legnoScuro));
    p.setBrush(colore::legno);
    p.drawPolygon(anta);
    // maniglia
    p.setPen(Qt::NoPen);
    p.setBrush(colore::giallo);
    p.drawEllipse(QPointF(10.5, 16.5), 1.3, 1.3);

    // freccia che esce
    p.setPen(tratto(colore::rossoScuro, 1.0));
    p.setBrush(colore::rosso);
    p.drawPolygon(frecciaDestra(15.5, 14.5, 30.5, 2.6, 6.5, 7.0));
}

// --- Pulsanti della verifica del ruolo ---------------------------------------

// Tabella con l'intestazione blu e le righe chiare.
void tabella(QPainter &p, const QRectF &r, int righe, int colonne)
{
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(r);
    const qreal alto = r.height() / (righe + 1);
    p.setPen(Qt::NoPen);
    p.setBrush(colore::blu);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, alto - 0.5));
    p.setPen(tratto(colore::righe, 0.8));
    for (int i = 1; i <= righe; ++i)
        p.drawLine(QPointF(r.left() + 1, r.top() + alto * i + 0.5), QPointF(r.right() - 1, r.top() + alto * i + 0.5));
    for (int j = 1; j < colonne; ++j) {
        const qreal x = r.left() + r.width() * j / colonne;
        p.drawLine(QPointF(x, r.top() + alto), QPointF(x, r.bottom() - 0.5));
    }
    p.setPen(tratto(colore::contorno));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void disegnaImportaRuolo(QPainter &p)
{
    // file del ruolo, a colonne fisse
    foglio(p, QRectF(1.5, 1.5, 13, 16), 4);
    righeTesto(p, 4, 12, 7.5, 2.5, 4);

    // tabella del confronto
    tabella(p, QRectF(11.5, 15.5, 19, 14), 3, 3);

    // freccia verde dal file alla tabella
    p.setPen(tratto(colore::verdeScuro, 1.0));
    p.setBrush(colore::verde);
    p.drawPolygon(frecciaGiu(22.5, 2.5, 15.0, 2.4, 5.8, 6.0));
}

void disegnaStampaRuolo(QPainter &p)
{
    corpoStampante(p, QRectF(1.5, 5.5, 29, 12), QRectF(2.2, 12.5, 27.6, 4.3), QPointF(26, 9));

    // tabulato che esce, con le colonne del confronto
    tabella(p, QRectF(5.5, 13.5, 21, 17), 4, 4);
    // una differenza segnata in rosso
    p.setPen(tratto(colore::rosso, 1.6));
    p.drawLine(QPointF(21.5, 24.2), QPointF(25, 24.2));
}

void disegnaLettere(QPainter &p)
{
    auto busta = [&](qreal x, qreal y) {
        const QRectF r(x, y, 22, 15);
        p.setPen(tratto(colore::contorno));
        p.setBrush(colore::carta);
        p.drawRect(r);
        // lembi
        p.setPen(tratto(colore::righe, 1.0));
        p.drawLine(r.bottomLeft(), QPointF(r.center().x(), r.top() + 9));
        p.drawLine(r.bottomRight(), QPointF(r.center().x(), r.top() + 9));
        p.setPen(tratto(colore::contorno));
        p.setBrush(colore::grigioChiaro);
        p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), QPointF(r.center().x(), r.top() + 8.5)}));
        // francobollo
        p.setPen(tratto(colore::rossoScuro, 0.8));
        p.setBrush(colore::rosso);
        p.drawRect(QRectF(r.right() - 5.5, r.top() + 2.5, 3.5, 4));
    };
    busta(8.5, 3.5);
    // la lettera che spunta dalla busta davanti
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(QRectF(4.5, 9.5, 16, 12));
    righeTesto(p, 7, 18, 12.5, 2.5, 3);
    busta(1.5, 15.5);
}

void disegnaLettera(QPainter &p)
{
    // il foglio della lettera, con l'intestazione e il testo, davanti alla sua busta
    const QRectF r(8.5, 4.5, 21, 14);
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::carta);
    p.drawRect(r);
    p.setPen(tratto(colore::contorno));
    p.setBrush(colore::grigioChiaro);
    p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), QPointF(r.center().x(), r.top() + 8)}));
    p.setPen(tratto(colore::rossoScuro, 0.8));
    p.setBrush(colore::rosso);
    p.drawRect(QRectF(r.right() - 5.5, r.top() + 2.5, 3.5, 4));
    foglio(p, QRectF(3.5, 9.5, 17, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(colore::blu);
    p.drawRect(QRectF(6, 12, 8, 2));
    righeTesto(p, 6, 18, 17.5, 2.5, 4);
}

// Le tre immagini di un pulsante: normale, disabilitata (grigia e sbiadita)
// e premuta (piu' scura e spostata di un punto in basso a destra).
QImage disabilitata(const QImage &img)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *riga = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = 128 + qGray(riga[x]) / 2;
            riga[x] = qRgba(g, g, g, qAlpha(riga[x]) * 3 / 5);
        }
    }
    return out;
}

QImage premuta(const QImage &img)
{
    QImage out(img.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(QPoint(1, 1), img);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(out.rect(), QColor(0, 0, 0, 40));
    return out;
}

struct Immagine
{
    const char *nome;
    std::function<void(QPainter &)> disegna;
};

QImage genera(const Immagine &img)
{
    QImage out(kLato, kLato, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing, true);
    img.disegna(p);
    p.end();
    return out;
}

// Ingrandimento a 256x256 su fondo grigio come quello della barra strumenti.
QImage ingrandita(const QImage &img)
{
    QImage fondo(256, 256, QImage::Format_ARGB32);
    fondo.fill(QColor(0xef, 0xef, 0xef));
    QPainter p(&fondo);
    p.drawImage(QRect(0, 0, 256, 256), img);
    return fondo;
}

// Foglio riassuntivo: tutte le immagini a grandezza naturale e a 4x.
QImage riassunto(const std::vector<QImage> &immagini)
{
    const int n = static_cast<int>(immagini.size());
    const int cella = 4 * kLato + 16;
    QImage fondo(n * cella + 8, cella + kLato + 24, QImage::Format_ARGB32);
    fondo.fill(QColor(0xef, 0xef, 0xef));
    QPainter p(&fondo);
    for (int i = 0; i < n; ++i) {
        const int x = 8 + i * cella;
        p.drawImage(QRect(x, 8, 4 * kLato, 4 * kLato), immagini[i]);
        p.drawImage(QPoint(x + (4 * kLato - kLato) / 2, cella + 8), immagini[i]);
    }
    return fondo;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QStringList argomenti = app.arguments();
    argomenti.removeFirst();

    // Toglie dagli argomenti l'opzione e la cartella che la segue; false se manca la cartella.
    auto opzione = [&](const QString &nome, QString &cartella) {
        const int pos = argomenti.indexOf(nome);
        if (pos < 0)
            return true;
        if (pos + 1 >= argomenti.size()) {
            err << nome << " richiede una cartella\n";
            return false;
        }
        cartella = argomenti.at(pos + 1);
        argomenti.remove(pos, 2);
        return true;
    };
    QString cartellaPulsanti, cartellaAnteprima;
    if (!opzione(QStringLiteral("--pulsanti"), cartellaPulsanti) ||
        !opzione(QStringLiteral("--anteprima"), cartellaAnteprima))
        return 2;
    if (argomenti.size() != 1) {
        err << "uso: disegna_icone CARTELLA_USCITA [--pulsanti CARTELLA] [--anteprima CARTELLA]\n";
        return 2;
    }

    const QDir uscita(argomenti.first());
    if (!QDir().mkpath(uscita.absolutePath())) {
        err << "impossibile creare " << uscita.absolutePath() << '\n';
        return 1;
    }
    if (!cartellaAnteprima.isEmpty() && !QDir().mkpath(cartellaAnteprima)) {
        err << "impossibile creare " << cartellaAnteprima << '\n';
        return 1;
    }

    const std::vector<Immagine> elenco = {
        {"00_import.png", disegnaImport},
        {"01_primo.png", disegnaPrimo},
        {"02_precedente.png", disegnaPrecedente},
        {"03_prossimo.png", disegnaProssimo},
        {"04_ultimo.png", disegnaUltimo},
        {"05_cerca.png", disegnaCerca},
        {"06_documenti.png", disegnaDocumenti},
        {"07_parametri.png", disegnaParametri},
        {"08_stampa.png", disegnaStampa},
        {"09_verifica.png", disegnaVerifica},
        {"uscita.png", disegnaUscita},
        {"prospetto.png", disegnaProspetto},
        {"lettera.png", disegnaLettera},
    };

    std::vector<QImage> disegnate;
    for (const Immagine &img : elenco) {
        const QImage risultato = genera(img);
        const QString percorso = uscita.filePath(QString::fromLatin1(img.nome));
        if (!risultato.save(percorso, "PNG")) {
            err << "impossibile scrivere " << percorso << '\n';
            return 1;
        }
        if (!cartellaAnteprima.isEmpty()) {
            const QString anteprima =
                QDir(cartellaAnteprima).filePath(QString::fromLatin1(img.nome));
            if (!ingrandita(risultato).save(anteprima, "PNG")) {
                err << "impossibile scrivere " << anteprima << '\n';
                return 1;
            }
        }
        disegnate.push_back(risultato);
    }

    if (!cartellaPulsanti.isEmpty()) {
        const QDir pulsanti(cartellaPulsanti);
        if (!QDir().mkpath(pulsanti.absolutePath())) {
            err << "impossibile creare " << pulsanti.absolutePath() << '\n';
            return 1;
        }
        const std::vector<Immagine> elencoPulsanti = {
            {"importa", disegnaImportaRuolo},
            {"stampa", disegnaStampaRuolo},
            {"lettere", disegnaLettere},
        };
        for (const Immagine &img : elencoPulsanti) {
            const QImage normale = genera(img);
            const std::pair<const char *, QImage> stati[] = {
                {"", normale}, {"_dis", disabilitata(normale)}, {"_pre", premuta(normale)}};
            for (const auto &[suffisso, immagine] : stati) {
                const QString nome = QString::fromLatin1(img.nome) + QLatin1String(suffisso) + QStringLiteral(".png");
                if (!immagine.save(pulsanti.filePath(nome), "PNG")) {
                    err << "impossibile scrivere " << pulsanti.filePath(nome) << '\n';
                    return 1;
                }
                disegnate.push_back(immagine);
            }
        }
    }

    if (!cartellaAnteprima.isEmpty()) {
        const QString foglio = QDir(cartellaAnteprima).filePath(QStringLiteral("riassunto.png"));
        riassunto(disegnate).save(foglio, "PNG");
    }
    return 0;
}
