#include "Misuratore.h"

#include "Caratteri.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <array>

namespace {
constexpr double dpi = 7200;
constexpr double mmPerPunto = 25.4 / dpi;
constexpr double tolleranza = 1e-6;
}  // namespace

struct Misuratore::Font {
    Carattere carattere;
    Metriche metriche;
    std::unique_ptr<QFontMetricsF> fm;
    std::array<float, 0x180> latini;  // Latin-1 and Latin Extended-A; < 0 until measured
    QHash<char16_t, float> altri;

    explicit Font(const Carattere& c) : carattere(c)
    {
        QImage superficie(1, 1, QImage::Format_ARGB32);
        superficie.setDotsPerMeterX(qRound(dpi / 0.0254));
        superficie.setDotsPerMeterY(qRound(dpi / 0.0254));
        fm = std::make_unique<QFontMetricsF>(Caratteri::font(c), &superficie);
        metriche.ascesa = fm->ascent() * mmPerPunto;
        metriche.discesa = fm->descent() * mmPerPunto;
        metriche.interlinea = fm->lineSpacing() * mmPerPunto;
        latini.fill(-1);
    }

    double avanzamento(QStringView t, qsizetype i)
    {
        const char16_t ch = t[i].unicode();
        if (ch < u' ')
            return 0;
        if (ch < latini.size()) {
            float& w = latini[ch];
            if (w < 0)
                w = float(fm->horizontalAdvance(QChar(ch)) * mmPerPunto);
            return w;
        }
        if (QChar::isLowSurrogate(ch))
            return 0;  // measured with its high surrogate
        auto it = altri.constFind(ch);
        if (it != altri.constEnd())
            return *it;
        double w;
        if (QChar::isHighSurrogate(ch) && i + 1 < t.size())
            w = fm->horizontalAdvance(t.mid(i, 2).toString()) * mmPerPunto;
        else
            w = fm->horizontalAdvance(QChar(ch)) * mmPerPunto;
        altri.insert(ch, float(w));
        return w;
    }
};

Misuratore::Misuratore() = default;
Misuratore::~Misuratore() = default;

Misuratore::Font& Misuratore::font(const Carattere& c)
{
    if (ultimo_ && ultimo_->carattere == c)
        return *ultimo_;
    for (auto& f : font_)
        if (f->carattere == c)
            return *(ultimo_ = f.get());
    font_.push_back(std::make_unique<Font>(c));
    return *(ultimo_ = font_.back().get());
}

const Misuratore::Metriche& Misuratore::metriche(const Carattere& c) { return font(c).metriche; }

double Misuratore::larghezza(const Carattere& c, QStringView testo)
{
    Font& f = font(c);
    double w = 0;
    for (qsizetype i = 0; i < testo.size(); ++i)
        w += f.avanzamento(testo, i);
    return w;
}

int Misuratore::quantiEntrano(const Carattere& c, QStringView testo, double larghezza)
{
    Font& f = font(c);
    double w = 0;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        w += f.avanzamento(testo, i);
        if (w > larghezza + tolleranza)
            return int(i);
    }
    return int(testo.size());
}

std::vector<Misuratore::Riga> Misuratore::spezza(const Carattere& c, const QString& testo, double larghezza)
{
    Font& f = font(c);
    const QStringView t(testo);
    std::vector<Riga> righe;
    auto aggiungi = [&](int da, int a, bool ultima) {
        while (a > da && t[a - 1] == QLatin1Char(' '))
            --a;
        righe.push_back({da, a - da, ultima});
    };
    int p0 = 0;
    const int n = int(t.size());
    while (p0 <= n) {
        int p1 = int(t.indexOf(QLatin1Char('\n'), p0));
        if (p1 < 0)
            p1 = n;
        if (p1 == p0)
            righe.push_back({p0, 0, true});
        int i = p0;
        while (i < p1) {
            const int inizio = i;
            int spazio = -1;  // the last blank met on this line
            double w = 0;
            int j = i;
            for (; j < p1; ++j) {
                const double cw = f.avanzamento(t, j);
                if (w + cw > larghezza + tolleranza && j > inizio)
                    break;
                if (t[j] == QLatin1Char(' '))
                    spazio = j;
                w += cw;
            }
            if (j >= p1) {
                aggiungi(inizio, p1, true);
                break;
            }
            int fine, prossimo;
            if (t[j] == QLatin1Char(' ')) {
                fine = j;
                prossimo = j;
            } else if (spazio > inizio) {
                fine = spazio;
                prossimo = spazio;
            } else {
                fine = prossimo = j;  // a word longer than the line
            }
            while (prossimo < p1 && t[prossimo] == QLatin1Char(' '))
                ++prossimo;
            aggiungi(inizio, fine, prossimo >= p1);
            i = prossimo;
        }
        p0 = p1 + 1;
    }
    return righe;
}
