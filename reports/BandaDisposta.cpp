#include "BandaDisposta.h"

#include <algorithm>

namespace {
constexpr double tol = 1e-6;

template <class... F>
struct Visita : F... {
    using F::operator()...;
};
}  // namespace

void trasla(Primitiva& p, double dx, double dy)
{
    std::visit(Visita{[&](TestoPreparato& t) {
                          t.riquadro.translate(dx, dy);
                          for (auto& r : t.righe) {
                              r.x = float(r.x + dx);
                              r.linea = float(r.linea + dy);
                          }
                      },
                      [&](LineaPreparata& l) {
                          l.da += QPointF(dx, dy);
                          l.a += QPointF(dx, dy);
                      },
                      [&](RettangoloPreparato& r) { r.riquadro.translate(dx, dy); },
                      [&](ImmaginePreparata& i) { i.riquadro.translate(dx, dy); }},
               p);
}

void BandaDisposta::trasla(double dx, double dy)
{
    for (Primitiva& p : primitive)
        ::trasla(p, dx, dy);
}

BandaDisposta BandaDisposta::dividi(double disponibile, const std::function<double(quint16)>& ascesa,
                                    const std::function<double(quint16)>& discesa)
{
    auto sopra = [&](const TestoPreparato& t, const TestoPreparato::Riga& r) { return r.linea - ascesa(t.carattere); };
    auto sotto = [&](const TestoPreparato& t, const TestoPreparato::Riga& r) { return r.linea + discesa(t.carattere); };

    // The cut rises above every text line and picture that it would cross.
    double taglio = disponibile;
    for (bool cambiato = true; cambiato;) {
        cambiato = false;
        auto abbassa = [&](double alto, double basso) {
            if (alto < taglio - tol && basso > taglio + tol) {
                taglio = alto;
                cambiato = true;
            }
        };
        for (const Primitiva& p : primitive) {
            if (const auto* t = std::get_if<TestoPreparato>(&p)) {
                for (const auto& r : t->righe)
                    abbassa(sopra(*t, r), sotto(*t, r));
            } else if (const auto* i = std::get_if<ImmaginePreparata>(&p)) {
                abbassa(i->riquadro.top(), i->riquadro.bottom());
            }
        }
    }

    BandaDisposta resto;
    if (taglio <= tol) {
        resto = std::move(*this);
        *this = BandaDisposta{};
        return resto;
    }
    resto.altezza = std::max(0.0, altezza - taglio);
    altezza = taglio;

    std::vector<Primitiva> qui;
    for (Primitiva& p : primitive) {
        if (auto* t = std::get_if<TestoPreparato>(&p)) {
            if (t->riquadro.bottom() <= taglio + tol) {
                qui.push_back(std::move(p));
                continue;
            }
            if (t->riquadro.top() >= taglio - tol) {
                resto.primitive.push_back(std::move(p));
                continue;
            }
            // a box across the cut: its lines go to their side, its background to both
            TestoPreparato a = *t, b = *t;
            a.righe.clear();
            b.righe.clear();
            for (const auto& r : t->righe)
                (sotto(*t, r) <= taglio + tol ? a : b).righe.append(r);
            a.riquadro.setBottom(taglio);
            b.riquadro.setTop(taglio);
            if (!a.righe.isEmpty() || qAlpha(a.sfondo) != 0)
                qui.push_back(std::move(a));
            if (!b.righe.isEmpty() || qAlpha(b.sfondo) != 0)
                resto.primitive.push_back(std::move(b));
        } else if (auto* l = std::get_if<LineaPreparata>(&p)) {
            const double y1 = std::min(l->da.y(), l->a.y()), y2 = std::max(l->da.y(), l->a.y());
            if (y2 <= taglio + tol) {
                qui.push_back(std::move(p));
            } else if (y1 >= taglio - tol) {
                resto.primitive.push_back(std::move(p));
            } else {
                const double f = (taglio - l->da.y()) / (l->a.y() - l->da.y());
                const QPointF m = l->da + (l->a - l->da) * f;
                LineaPreparata a = *l, b = *l;
                (l->da.y() < l->a.y() ? a.a : a.da) = m;
                (l->da.y() < l->a.y() ? b.da : b.a) = m;
                qui.push_back(a);
                resto.primitive.push_back(b);
            }
        } else if (auto* r = std::get_if<RettangoloPreparato>(&p)) {
            if (r->riquadro.bottom() <= taglio + tol) {
                qui.push_back(std::move(p));
            } else if (r->riquadro.top() >= taglio - tol) {
                resto.primitive.push_back(std::move(p));
            } else {
                RettangoloPreparato a = *r, b = *r;
                a.riquadro.setBottom(taglio);
                b.riquadro.setTop(taglio);
                qui.push_back(a);
                resto.primitive.push_back(b);
            }
        } else {
            const auto& i = std::get<ImmaginePreparata>(p);
            (i.riquadro.bottom() <= taglio + tol ? qui : resto.primitive).push_back(std::move(p));
        }
    }
    primitive = std::move(qui);
    resto.trasla(0, -taglio);
    return resto;
}
