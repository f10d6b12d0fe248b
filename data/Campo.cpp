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

qint64 verificaIntervallo(const DefCampo& c, qint64 n, const QString& testo)
{
    const Intervallo r = intervallo(c.tipo);
    if (n < r.min || n > r.max)
        throw Errore(QStringLiteral("Il valore '%1' è fuori dall'intervallo del campo %2 (da %3 a %4)")
                         .arg(testo, c.nome).arg(r.min).arg(r.max));
    return n;
}

QString testoFisso(const DefCampo& c, QString t)
{
    if (c.larghezza > 0 && t.size() > c.larghezza)
        t.truncate(c.larghezza);
    if (c.tipo == TipoCampo::Fisso && t.size() < c.larghezza)
        t = t.leftJustified(c.larghezza, QLatin1Char(' '));
    return t;
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

QVariant daTesto(const DefCampo& c, const QString& testo)
{
    switch (c.tipo) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso:
        return testoFisso(c, testo);
    case TipoCampo::Data: {
        if (testo.isEmpty())
            return QVariant(QMetaType(QMetaType::QDate));
        const auto d = data(testo);
        if (!d)
            throw Errore(QStringLiteral("Il valore '%1' non è una data valida per il campo %2").arg(testo, c.nome));
        return *d;
    }
    case TipoCampo::Booleano:
        if (testo.isEmpty())
            return QVariant(QMetaType(QMetaType::Bool));
        if (testo.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (testo.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        [[fallthrough]];
    default: {
        if (testo.isEmpty())
            return QVariant(QMetaType(QMetaType::LongLong));
        const auto n = intero(testo);
        if (!n)
            throw Errore(QStringLiteral("Il valore '%1' non è un numero intero valido per il campo %2").arg(testo, c.nome));
        const qint64 v = verificaIntervallo(c, *n, testo);
        if (c.tipo == TipoCampo::Booleano)
            return v != 0;
        return v;
    }
    }
}

QVariant normalizza(const DefCampo& c, const QVariant& v)
{
    if (v.isNull() || !v.isValid()) {
        switch (c.tipo) {
        case TipoCampo::Testo:
        case TipoCampo::Fisso: return QVariant(QMetaType(QMetaType::QString));
        case TipoCampo::Data: return QVariant(QMetaType(QMetaType::QDate));
        case TipoCampo::Booleano: return QVariant(QMetaType(QMetaType::Bool));
        default: return QVariant(QMetaType(QMetaType::LongLong));
        }
    }
    switch (c.tipo) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso:
        return testoFisso(c, v.toString());
    case TipoCampo::Data:
        if (v.typeId() == QMetaType::QDate)
            return v;
        return daTesto(c, v.toString());
    case TipoCampo::Booleano:
        if (v.typeId() == QMetaType::Bool)
            return v;
        return v.toLongLong() != 0;
    default:
        if (v.typeId() == QMetaType::QString)
            return daTesto(c, v.toString());
        return verificaIntervallo(c, v.toLongLong(), v.toString());
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
