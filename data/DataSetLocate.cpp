// Locate: the search of a data set, on a sorted index of its visible rows.

#include "DataSet.h"
#include "DataSetIndice.h"

#include "Collazione.h"
#include "Errore.h"

#include <algorithm>


namespace {
// Case folding for the case-insensitive key: ASCII fast, the rest through Qt.
void pieghiUtf8(std::string_view u, std::string& out)
{
    bool ascii = true;
    for (char ch : u)
        if (static_cast<unsigned char>(ch) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        for (char ch : u)
            out.push_back(ch >= 'A' && ch <= 'Z' ? char(ch + 32) : ch);
        return;
    }
    out.append(QString::fromUtf8(u.data(), qsizetype(u.size())).toCaseFolded().toStdString());
}

std::string_view senzaBlanchiFinali(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}
}  // namespace


// --- Locate -----------------------------------------------------------------------------

void DataSet::azzeraIndici() const { indici_.clear(); }

const DataSet::Indice* DataSet::indice(const QStringList& nomi, bool ignora) const
{
    const QString chiave = nomi.join(QLatin1Char(';')).toLower() + (ignora ? QStringLiteral("|i") : QStringLiteral("|c"));
    auto it = indici_.find(chiave);
    if (it != indici_.end())
        return it->second.get();

    auto ix = std::make_unique<Indice>();
    const int n = righe();
    for (const QString& nome : nomi) {
        const int c = campo(nome.trimmed());
        const DefCampo& def = campi_[c];
        ix->campi.push_back(c);
        Indice::Chiave k;
        k.testo = def.testuale();
        const bool memorizzato = c < memorizzati_.size();
        if (k.testo) {
            k.pos.reserve(size_t(n));
            std::string tmp;
            for (int r = 0; r < n; ++r) {
                std::string_view u;
                if (memorizzato) {
                    const ColonnaValori& col = archivio_.colonne[size_t(c)];
                    const size_t f = fisica(r);
                    u = col.nullo(f) ? std::string_view() : col.utf8(f);
                } else {
                    tmp = valoreRiga(r, c).toString().toStdString();
                    u = tmp;
                }
                // fixed-width texts compare without their padding
                if (def.tipo == TipoCampo::Fisso)
                    u = senzaBlanchiFinali(u);
                const auto inizio = uint32_t(k.testi.size());
                if (ignora)
                    pieghiUtf8(u, k.testi);
                else
                    k.testi.append(u);
                k.pos.emplace_back(inizio, uint32_t(k.testi.size() - inizio));
            }
        } else {
            k.numeri.reserve(size_t(n));
            k.nulli.reserve(size_t(n));
            for (int r = 0; r < n; ++r) {
                if (memorizzato) {
                    const ColonnaValori& col = archivio_.colonne[size_t(c)];
                    const size_t f = fisica(r);
                    k.nulli.push_back(col.nullo(f));
                    k.numeri.push_back(col.numero(f));
                } else {
                    const QVariant v = valoreRiga(r, c);
                    k.nulli.push_back(v.isNull());
                    k.numeri.push_back(def.tipo == TipoCampo::Data ? v.toDate().toJulianDay() : v.toLongLong());
                }
            }
        }
        ix->chiavi.push_back(std::move(k));
    }

    auto minore = [&](uint32_t a, uint32_t b) {
        for (const Indice::Chiave& k : ix->chiavi) {
            if (k.testo) {
                const int c = k.t(a).compare(k.t(b));
                if (c != 0)
                    return c < 0;
            } else {
                if (k.nulli[a] != k.nulli[b])
                    return k.nulli[a] > k.nulli[b];
                if (k.numeri[a] != k.numeri[b])
                    return k.numeri[a] < k.numeri[b];
            }
        }
        return a < b;  // equal keys keep the data set's order
    };
    ix->ordine.resize(size_t(n));
    for (int r = 0; r < n; ++r)
        ix->ordine[size_t(r)] = uint32_t(r);
    // Query results usually come sorted on the searched field already.
    if (!std::is_sorted(ix->ordine.begin(), ix->ordine.end(), minore))
        std::sort(ix->ordine.begin(), ix->ordine.end(), minore);

    // The rank in ascending key order, texts by the order of names.
    std::vector<std::string> derivati;  // texts of calculated key fields, read once
    auto testoOriginale = [&](size_t k, uint32_t r) -> std::string_view {
        const int c = ix->campi[k];
        if (c < memorizzati_.size()) {
            const ColonnaValori& col = archivio_.colonne[size_t(c)];
            const size_t f = fisica(int(r));
            return col.nullo(f) ? std::string_view() : col.utf8(f);
        }
        return derivati[k * size_t(n) + r];
    };
    for (size_t k = 0; k < ix->chiavi.size(); ++k)
        if (ix->chiavi[k].testo && ix->campi[k] >= memorizzati_.size()) {
            derivati.resize(ix->chiavi.size() * size_t(n));
            for (int r = 0; r < n; ++r)
                derivati[k * size_t(n) + size_t(r)] = valoreRiga(r, ix->campi[k]).toString().toStdString();
        }
    // Each text's primary key of the order of names, folded once: a sort of a
    // million owners would otherwise fold both names at every comparison.
    struct Piegati {
        std::string testi;
        std::vector<std::pair<uint32_t, uint32_t>> pos;
        std::string_view t(uint32_t i) const { return {testi.data() + pos[i].first, pos[i].second}; }
    };
    std::vector<Piegati> piegati(ix->chiavi.size());
    for (size_t k = 0; k < ix->chiavi.size(); ++k) {
        if (!ix->chiavi[k].testo)
            continue;
        Piegati& p = piegati[k];
        p.pos.reserve(size_t(n));
        for (int r = 0; r < n; ++r) {
            const auto inizio = uint32_t(p.testi.size());
            p.testi += Collazione::chiave(testoOriginale(k, uint32_t(r)));
            p.pos.emplace_back(inizio, uint32_t(p.testi.size() - inizio));
        }
    }
    auto prima = [&](uint32_t a, uint32_t b) {
        for (size_t k = 0; k < ix->chiavi.size(); ++k) {
            const Indice::Chiave& ch = ix->chiavi[k];
            if (ch.testo) {
                // as Collazione::confronta: the primary keys, then the exact texts
                int c = piegati[k].t(a).compare(piegati[k].t(b));
                if (c == 0)
                    c = testoOriginale(k, a).compare(testoOriginale(k, b));
                if (c != 0)
                    return c < 0;
            } else {
                if (ch.nulli[a] != ch.nulli[b])
                    return ch.nulli[a] > ch.nulli[b];
                if (ch.numeri[a] != ch.numeri[b])
                    return ch.numeri[a] < ch.numeri[b];
            }
        }
        return a < b;
    };
    std::vector<uint32_t> perm(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
        perm[size_t(r)] = uint32_t(r);
    ix->rango.resize(size_t(n));
    // the first key field alone, for a list already ordered by it
    auto primaSulPrimo = [&](uint32_t a, uint32_t b) {
        const Indice::Chiave& ch = ix->chiavi[0];
        if (ch.testo) {
            const int c = piegati[0].t(a).compare(piegati[0].t(b));
            return c != 0 ? c < 0 : testoOriginale(0, a) < testoOriginale(0, b);
        }
        if (ch.nulli[a] != ch.nulli[b])
            return ch.nulli[a] > ch.nulli[b];
        return ch.numeri[a] < ch.numeri[b];
    };
    if (std::is_sorted(perm.begin(), perm.end(), prima)) {
        ix->rango = perm;  // the rows already stand in that order (a list ordered by name)
    } else {
        if (ix->chiavi.size() > 1 && std::is_sorted(perm.begin(), perm.end(), primaSulPrimo)) {
            // ordered by the first field (owners by name, searched by name and
            // birth date): only the rows sharing a name need sorting
            for (auto i = perm.begin(); i != perm.end();) {
                auto j = std::next(i);
                while (j != perm.end() && !primaSulPrimo(*i, *j))
                    ++j;
                std::sort(i, j, prima);
                i = j;
            }
        } else {
            std::sort(perm.begin(), perm.end(), prima);
        }
        for (size_t i = 0; i < perm.size(); ++i)
            ix->rango[perm[i]] = uint32_t(i);
    }

    return indici_.emplace(chiave, std::move(ix)).first->second.get();
}

int DataSet::trova(const QString& campiChiave, const QVariantList& valori, OpzioniLocate opz) const
{
    // Rows that cannot be read (a damaged table) are an error for the caller,
    // never "not found": only a field the data set lacks or a value that
    // cannot be compared with its field makes the search fail silently.
    if (!aperto() || righe() == 0)
        return -1;
    const QStringList nomi = campiChiave.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (nomi.isEmpty() || nomi.size() != valori.size())
        return -1;
    for (const QString& nome : nomi)
        if (indiceCampo(nome.trimmed()) < 0)
            return -1;
    const Indice* ix = indice(nomi, opz.ignoraMaiuscole);
    try {
        // The values searched for, in the form of the index's keys.
        struct Cercato {
            bool nullo = false;
            qint64 numero = 0;
            std::string testo;
            bool prefisso = false;
        };
        std::vector<Cercato> cercati(size_t(nomi.size()));
        for (size_t i = 0; i < cercati.size(); ++i) {
            const DefCampo& def = campi_[ix->campi[i]];
            const QVariant& v = valori[qsizetype(i)];
            Cercato& c = cercati[i];
            if (def.testuale()) {
                QString s = v.isNull() ? QString() : v.toString();
                if (def.tipo == TipoCampo::Fisso)
                    while (s.endsWith(QLatin1Char(' ')))
                        s.chop(1);
                const std::string u = s.toStdString();
                if (opz.ignoraMaiuscole)
                    pieghiUtf8(u, c.testo);
                else
                    c.testo = u;
                // A partial key bears on the last field only, and an empty
                // value then matches only the empty text.
                c.prefisso = opz.chiaveParziale && i + 1 == cercati.size() && !c.testo.empty();
            } else if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) {
                c.nullo = true;
            } else if (def.tipo == TipoCampo::Data) {
                const QDate d = v.typeId() == QMetaType::QDate ? v.toDate()
                                                                : Conversione::data(v.toString()).value_or(QDate());
                if (!d.isValid())
                    return -1;
                c.numero = d.toJulianDay();
            } else if (v.typeId() == QMetaType::QString) {
                const auto n = Conversione::intero(v.toString());
                if (!n)
                    return -1;
                c.numero = *n;
            } else {
                bool ok = false;
                c.numero = v.toLongLong(&ok);
                if (!ok && v.typeId() != QMetaType::Bool)
                    return -1;
                if (v.typeId() == QMetaType::Bool)
                    c.numero = v.toBool();
            }
        }

        // compare an indexed row with the searched values: <0, 0 (match), >0
        auto confronta = [&](uint32_t r) {
            for (size_t i = 0; i < cercati.size(); ++i) {
                const Indice::Chiave& k = ix->chiavi[i];
                const Cercato& c = cercati[i];
                if (k.testo) {
                    std::string_view t = k.t(r);
                    if (c.prefisso && t.size() > c.testo.size())
                        t = t.substr(0, c.testo.size());
                    const int d = t.compare(c.testo);
                    if (d != 0)
                        return d;
                } else {
                    if (bool(k.nulli[r]) != c.nullo)
                        return k.nulli[r] ? -1 : 1;
                    if (!c.nullo && k.numeri[r] != c.numero)
                        return k.numeri[r] < c.numero ? -1 : 1;
                }
            }
            return 0;
        };
        const auto da = std::partition_point(ix->ordine.begin(), ix->ordine.end(),
                                             [&](uint32_t r) { return confronta(r) < 0; });
        // the matching rows lie together; the first of them in ascending order wins
        int trovata = -1;
        for (auto it = da; it != ix->ordine.end() && confronta(*it) == 0; ++it)
            if (trovata < 0 || ix->rango[*it] < ix->rango[size_t(trovata)])
                trovata = int(*it);
        return trovata;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        return -1;
    }
}

bool DataSet::Locate(const QString& campi, const QVariantList& valori, OpzioniLocate opzioni)
{
    const int r = trova(campi, valori, opzioni);
    if (r < 0)
        return false;
    cambiaCorrente(r);  // posting a pending edit may fail: that is no silent "not found"
    return true;
}

