#include "Dump.h"

namespace {

QString mm(double v) { return QString::number(v, 'f', 2); }

QString colore(QRgb c) { return QString::number(c & 0xFFFFFF, 16).toUpper().rightJustified(6, QLatin1Char('0')); }

QString riquadro(const QRectF& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(mm(r.x()), mm(r.y()), mm(r.width()), mm(r.height()));
}

QString carattere(const Carattere& c)
{
    QString s = c.famiglia + QLatin1Char(' ') + QString::number(c.punti);
    if (c.grassetto)
        s += QStringLiteral(" grassetto");
    if (c.corsivo)
        s += QStringLiteral(" corsivo");
    if (c.sottolineato)
        s += QStringLiteral(" sottolineato");
    return s;
}

QString virgolette(QString t)
{
    t.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\"")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

template <class... F>
struct Visita : F... {
    using F::operator()...;
};

}  // namespace

QString DumpReport(const ReportPreparato& r)
{
    QString s = QStringLiteral("report %1 pagine %2 (%3x%4 mm)\n").arg(r.titolo).arg(r.numeroPagine()).arg(mm(r.larghezza), mm(r.altezza));
    for (size_t n = 0; n < r.pagine.size(); ++n) {
        const QString p = QStringLiteral("p%1 ").arg(n + 1);
        for (const Primitiva& prim : r.pagine[n].primitive) {
            std::visit(Visita{[&](const TestoPreparato& t) {
                                  static const char* const al[] = {"sx", "centro", "dx", "giust"};
                                  s += p + QStringLiteral("testo ") + riquadro(t.riquadro) + QLatin1Char(' ') +
                                       carattere(r.caratteri[t.carattere]) + QLatin1Char(' ') +
                                       QLatin1String(al[int(t.orizzontale)]);
                                  if (t.righe.size() > 0 && t.orizzontale != Orizzontale::Sinistra)
                                      s += QLatin1Char('@') + mm(t.righe[0].x);
                                  if (qAlpha(t.sfondo))
                                      s += QStringLiteral(" sfondo=") + colore(t.sfondo);
                                  if ((t.colore & 0xFFFFFF) != 0)
                                      s += QStringLiteral(" colore=") + colore(t.colore);
                                  if (t.tipo == TestoPreparato::Tipo::Numero)
                                      s += QStringLiteral(" numero");
                                  else if (t.tipo == TestoPreparato::Tipo::Data)
                                      s += QStringLiteral(" data");
                                  s += QLatin1Char(' ') + virgolette(t.stampato()) + QLatin1Char('\n');
                              },
                              [&](const LineaPreparata& l) {
                                  s += p + QStringLiteral("linea %1,%2 %3,%4 spessore %5%6\n")
                                               .arg(mm(l.da.x()), mm(l.da.y()), mm(l.a.x()), mm(l.a.y()), mm(l.spessore),
                                                    l.stile == StileLinea::Punteggiata ? QStringLiteral(" punteggiata")
                                                                                       : QString());
                              },
                              [&](const RettangoloPreparato& q) {
                                  s += p + QStringLiteral("rettangolo ") + riquadro(q.riquadro);
                                  if (qAlpha(q.riempimento))
                                      s += QStringLiteral(" riempimento=") + colore(q.riempimento);
                                  if (qAlpha(q.bordo))
                                      s += QStringLiteral(" bordo %1").arg(mm(q.spessore));
                                  s += QLatin1Char('\n');
                              },
                              [&](const ImmaginePreparata& i) {
                                  s += p + QStringLiteral("immagine %1 %2x%3 px\n")
                                               .arg(riquadro(i.riquadro))
                                               .arg(i.immagine.width())
                                               .arg(i.immagine.height());
                              }},
                       prim);
        }
    }
    return s;
}
