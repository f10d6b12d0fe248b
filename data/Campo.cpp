#include "Campo.h"

#include "Errore.h"

#include <limits>

bool DefCampo::numerico() const
{
    return tipo == TipoCampo::Intero32 || tipo == TipoCampo::Intero16 || tipo == TipoCampo::Byte ||
           tipo == TipoCampo::Booleano;
}

namespace Conversione {

namespace {
struct Intervallo {
    qint64 min, max;
};
Intervallo intervallo(TipoCampo t)
{
    switch (t) {
    case TipoCampo::Intero16: return {-32768, 32767};
    case TipoCampo::Byte: return {0, 255};
    case TipoCampo::Booleano: return {0, 1};
    default: return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    }
}

// `testo` is the value as it was given, for the message; null for a number.
qint64 verificaIntervallo(const DefCampo& c, qint64 n, QStringView testo = {})
{
    const Intervallo r = intervallo(c.tipo);
    if (n < r.min || n > r.max)
        throw Errore(QStringLiteral("Il valore '%1' è fuori dall'intervallo del campo %2 (da %3 a %4)")
                         .arg(testo.isNull() ? QString::number(n) : testo.toString(), c.nome)
                         .arg(r.min)
                         .arg(r.max));
    return n;
}

}  // namespace

std::optional<qint64> intero(QStringView t)
{
    qsizetype i = 0;
    while (i < t.size() && t[i] == QLatin1Char(' '))
        ++i;
    bool negativo = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negativo = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    qint64 n = 0;
    for (; i < t.size(); ++i) {
        const char16_t ch = t[i].unicode();
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        if (n > (std::numeric_limits<qint64>::max() - 9) / 10)
            n = std::numeric_limits<qint64>::max() / 2;  // far out of any column's range
        else
            n = n * 10 + (ch - u'0');
    }
    return negativo ? -n : n;
}

std::optional<QDate> data(QStringView t)
{
    if (t.size() != 10 || t[2] != QLatin1Char('/') || t[5] != QLatin1Char('/'))
        return std::nullopt;
    auto cifre = [&](qsizetype da, qsizetype n) -> int {
        int v = 0;
        for (qsizetype i = da; i < da + n; ++i) {
            const char16_t ch = t[i].unicode();
            if (ch < u'0' || ch > u'9')
                return -1;
            v = v * 10 + (ch - u'0');
        }
        return v;
    };
    const int g = cifre(0, 2), m = cifre(3, 2), a = cifre(6, 4);
    if (g < 0 || m < 0 || a < 0)
        return std::nullopt;
    QDate d(a, m, g);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

void dataIso(qint64 giornoGiuliano, std::string& out)
{
    const QDate d = QDate::fromJulianDay(giornoGiuliano);
    if (d.year() < 0 || d.year() > 9999) {
        out.append(d.toString(Qt::ISODate).toStdString());  // a year of other than four digits, through Qt
        return;
    }
    const int a = d.year(), m = d.month(), g = d.day();
    const char t[10] = {char('0' + a / 1000), char('0' + a / 100 % 10), char('0' + a / 10 % 10), char('0' + a % 10), '-',
                        char('0' + m / 10),   char('0' + m % 10),        '-',                     char('0' + g / 10),
                        char('0' + g % 10)};
    out.append(t, 10);
}

void daTesto(const DefCampo& c, QStringView testo, ValoreCampo& v)
{
    switch (c.tipo) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso: {
        const qsizetype n = c.larghezza > 0 ? std::min(testo.size(), qsizetype(c.larghezza)) : testo.size();
        v.testo.resize(0);
        v.testo.append(testo.first(n));
        if (c.tipo == TipoCampo::Fisso && n < c.larghezza)
            v.testo.resize(c.larghezza, QLatin1Char(' '));
        v.nullo = false;
        return;
    }
    case TipoCampo::Data: {
        if (testo.isEmpty()) {
            v.nullo = true;
            return;
        }
        const auto d = data(testo);
        if (!d)
            throw Errore(QStringLiteral("Il valore '%1' non è una data valida per il campo %2").arg(testo.toString(), c.nome));
        v.numero = d->toJulianDay();
        v.nullo = false;
        return;
    }
    case TipoCampo::Booleano:
        if (testo.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            testo.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            v.numero = testo.size() == 4;
            v.nullo = false;
            return;
        }
        [[fallthrough]];
    default: {
        if (testo.isEmpty()) {
            v.nullo = true;
            return;
        }
        const auto n = intero(testo);
        if (!n)
            throw Errore(QStringLiteral("Il valore '%1' non è un numero intero valido per il campo %2").arg(testo.toString(), c.nome));
        v.numero = verificaIntervallo(c, *n, testo);
        v.nullo = false;
    }
    }
}

QVariant daTesto(const DefCampo& c, const QString& testo)
{
    ValoreCampo v;
    daTesto(c, testo, v);
    return comeVariant(c, v);
}

void daNumero(const DefCampo& c, qint64 n, ValoreCampo& v)
{
    v.numero = verificaIntervallo(c, n);
    v.nullo = false;
}

void normalizza(const DefCampo& c, const QVariant& valore, ValoreCampo& v)
{
    if (valore.isNull() || !valore.isValid()) {
        v.nullo = true;
        return;
    }
    switch (c.tipo) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso:
        daTesto(c, valore.toString(), v);
        return;
    case TipoCampo::Data:
        if (valore.typeId() == QMetaType::QDate) {
            v.numero = valore.toDate().toJulianDay();
            v.nullo = false;
            return;
        }
        daTesto(c, valore.toString(), v);
        return;
    case TipoCampo::Booleano:
        v.numero = valore.typeId() == QMetaType::Bool ? valore.toBool() : valore.toLongLong() != 0;
        v.nullo = false;
        return;
    default:
        if (valore.typeId() == QMetaType::QString) {
            daTesto(c, *static_cast<const QString*>(valore.constData()), v);
            return;
        }
        v.numero = verificaIntervallo(c, valore.toLongLong(), valore.toString());
        v.nullo = false;
    }
}

QVariant normalizza(const DefCampo& c, const QVariant& valore)
{
    ValoreCampo v;
    normalizza(c, valore, v);
    return comeVariant(c, v);
}

void daMemorizzato(const DefCampo& c, const QVariant& valore, ValoreCampo& v)
{
    v.nullo = valore.isNull() || !valore.isValid();
    if (v.nullo)
        return;
    if (c.testuale())
        v.testo = valore.toString();
    else if (c.tipo == TipoCampo::Data)
        v.numero = valore.toDate().toJulianDay();
    else
        v.numero = valore.toLongLong();
}

QVariant comeVariant(const DefCampo& c, const ValoreCampo& v)
{
    switch (c.tipo) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso: return v.nullo ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v.testo);
    case TipoCampo::Data: return v.nullo ? QVariant(QMetaType(QMetaType::QDate)) : QVariant(QDate::fromJulianDay(v.numero));
    case TipoCampo::Booleano: return v.nullo ? QVariant(QMetaType(QMetaType::Bool)) : QVariant(v.numero != 0);
    default: return v.nullo ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(v.numero);
    }
}

QString testoVisualizzato(const DefCampo& c, const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (c.tipo) {
    case TipoCampo::Data: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case TipoCampo::Booleano: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TipoCampo::Testo:
    case TipoCampo::Fisso: return v.toString();
    default: return QString::number(v.toLongLong());
    }
}

}  // namespace Conversione

QString LetteraleSql(const QString& testo)
{
    QString r = testo;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

namespace Utf8 {

void aggiungi(QStringView s, std::string& out)
{
    const char16_t* p = s.utf16();
    const char16_t* const fine = p + s.size();
    while (p < fine) {
        const char32_t u = *p++;
        if (u < 0x80) {
            out.push_back(char(u));
        } else if (u < 0x800) {
            out.push_back(char(0xC0 | (u >> 6)));
            out.push_back(char(0x80 | (u & 0x3F)));
        } else if (u < 0xD800 || u > 0xDFFF) {
            out.push_back(char(0xE0 | (u >> 12)));
            out.push_back(char(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(char(0x80 | (u & 0x3F)));
        } else if (u < 0xDC00 && p < fine && *p >= 0xDC00 && *p <= 0xDFFF) {
            const char32_t c = 0x10000 + ((u - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.append("\xEF\xBF\xBD");
        }
    }
}

}  // namespace Utf8
