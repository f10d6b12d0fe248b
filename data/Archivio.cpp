#include "Archivio.h"

#include "Connessione.h"

namespace {
// "YYYY-MM-DD" as the database keeps dates; anything else is no date.
bool leggiDataIso(std::string_view s, qint64& giorno)
{
    if (s.size() < 10 || s[4] != '-' || s[7] != '-')
        return false;
    auto n = [&](size_t da, size_t k) {
        int v = 0;
        for (size_t i = da; i < da + k; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    const QDate d(n(0, 4), n(5, 2), n(8, 2));
    if (!d.isValid())
        return false;
    giorno = d.toJulianDay();
    return true;
}
}  // namespace

void ColonnaValori::aggiungiNullo()
{
    nulli_.push_back(true);
    ++nNulli_;
    if (testuale())
        pos_.emplace_back(0, 0);
    else
        numeri_.push_back(0);
}

void ColonnaValori::aggiungiTesto(std::string_view u)
{
    nulli_.push_back(false);
    pos_.emplace_back(uint32_t(testi_.size()), uint32_t(u.size()));
    testi_.append(u);
}

QVariant ColonnaValori::valore(size_t r) const
{
    switch (tipo_) {
    case TipoCampo::Testo:
    case TipoCampo::Fisso: {
        if (nulli_[r])
            return QVariant(QMetaType(QMetaType::QString));
        const auto u = utf8(r);
        return QString::fromUtf8(u.data(), qsizetype(u.size()));
    }
    case TipoCampo::Data:
        if (nulli_[r])
            return QVariant(QMetaType(QMetaType::QDate));
        return QDate::fromJulianDay(numeri_[r]);
    case TipoCampo::Booleano:
        if (nulli_[r])
            return QVariant(QMetaType(QMetaType::Bool));
        return numeri_[r] != 0;
    default:
        if (nulli_[r])
            return QVariant(QMetaType(QMetaType::LongLong));
        return numeri_[r];
    }
}

void ColonnaValori::aggiungi(const ValoreCampo& v)
{
    if (v.nullo) {
        aggiungiNullo();
        return;
    }
    if (testuale()) {
        nulli_.push_back(false);
        const size_t inizio = testi_.size();
        Utf8::aggiungi(v.testo, testi_);
        pos_.emplace_back(uint32_t(inizio), uint32_t(testi_.size() - inizio));
        return;
    }
    nulli_.push_back(false);
    numeri_.push_back(v.numero);
}

void ColonnaValori::aggiungiDaSql(const Comando& c, int col)
{
    const Comando::Tipo t = c.tipo(col);
    if (t == Comando::Tipo::Nullo) {
        aggiungiNullo();
        return;
    }
    if (testuale()) {
        aggiungiTesto(c.utf8(col));
        return;
    }
    qint64 n = 0;
    bool ok = true;
    if (tipo_ == TipoCampo::Data) {
        ok = leggiDataIso(c.utf8(col), n);
    } else if (t == Comando::Tipo::Intero) {
        n = c.intero(col);
    } else if (t == Comando::Tipo::Reale) {
        n = qint64(c.reale(col));
    } else {
        const auto v = Conversione::intero(c.testo(col));
        ok = v.has_value();
        n = v.value_or(0);
    }
    if (!ok) {
        aggiungiNullo();
        return;
    }
    nulli_.push_back(false);
    numeri_.push_back(n);
}

void ColonnaValori::imposta(size_t r, const ValoreCampo& v)
{
    const bool eraNullo = nulli_[r];
    nulli_[r] = v.nullo;
    nNulli_ += size_t(v.nullo) - size_t(eraNullo);
    if (testuale()) {
        // The old text stays unreferenced in the buffer: edits are rare.
        const size_t inizio = testi_.size();
        if (!v.nullo)
            Utf8::aggiungi(v.testo, testi_);
        pos_[r] = {uint32_t(inizio), uint32_t(testi_.size() - inizio)};
    } else {
        numeri_[r] = v.nullo ? 0 : v.numero;
    }
}
