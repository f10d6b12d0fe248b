#include "DataSet.h"

#include "Collazione.h"
#include "Errore.h"

#include <QRegularExpression>
#include <algorithm>
#include <new>

// --- derived fields ---------------------------------------------------------

struct DataSet::CampoDerivato {
    std::function<QVariant(const RigaDati&)> calcola;
};

QVariant RigaDati::valore(QStringView campo) const
{
    const int c = ds_.campo(campo);
    return riga_ < 0 ? ds_.valore(c) : ds_.valoreRiga(riga_, c);
}

// --- Locate index -------------------------------------------------------------
//
// A permutation of the visible rows sorted by the key fields, built on the first
// search with a given key and kept until the rows change. A search is then a
// binary search: a keystroke and a million look-ups of a roll load cost the same
// per search.

struct DataSet::Indice {
    struct Chiave {
        bool testo = false;
        std::vector<qint64> numeri;  // numbers and dates; nulls sort first
        std::vector<uint8_t> nulli;
        std::vector<std::pair<uint32_t, uint32_t>> pos;  // texts (null reads as empty)
        std::string testi;
        std::string_view t(uint32_t i) const { return {testi.data() + pos[i].first, pos[i].second}; }
    };
    std::vector<Chiave> chiavi;
    std::vector<int> campi;
    std::vector<uint32_t> ordine;  // positions in chiavi's rows (= visible rows)
    // Each row's place in ascending order of the key fields, names compared
    // by the order of names: among several matches the search takes the one
    // that comes first there, as the list shows them.
    std::vector<uint32_t> rango;
};

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

// --- the data set ---------------------------------------------------------------

DataSet::DataSet(const QString& nome, QObject* parent) : QObject(parent), nome_(nome) {}
DataSet::~DataSet() = default;

void DataSet::definisciCampi(const QList<DefCampo>& memorizzati)
{
    const QList<DefCampo> derivati = campi_.mid(memorizzati_.size());
    memorizzati_ = memorizzati;
    campi_ = memorizzati_ + derivati;
    archivio_.colonne.clear();
    for (const DefCampo& c : memorizzati_)
        archivio_.colonne.emplace_back(c.tipo);
}

void DataSet::cambiaTipoCampo(int campo, TipoCampo tipo, int larghezza)
{
    memorizzati_[campo].tipo = campi_[campo].tipo = tipo;
    memorizzati_[campo].larghezza = campi_[campo].larghezza = larghezza;
    archivio_.colonne[size_t(campo)].cambiaTipo(tipo);
}

int DataSet::indiceCampo(QStringView nome) const
{
    for (int i = 0; i < campi_.size(); ++i)
        if (campi_[i].nome.compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSet::campo(QStringView nome) const
{
    const int i = indiceCampo(nome);
    if (i < 0)
        throw Errore(QStringLiteral("%1: campo '%2' non trovato").arg(nome_, nome.toString()));
    return i;
}

void DataSet::aggiungiCampoCalcolato(const DefCampo& c, std::function<QVariant(const RigaDati&)> calcola)
{
    campi_.append(c);
    derivati_.push_back(std::make_unique<CampoDerivato>(CampoDerivato{std::move(calcola)}));
}

void DataSet::aggiungiCampoLookup(const DefCampo& c, const QString& chiave, DataSet* sorgente,
                                  const QString& chiaveSorgente, const QString& risultato)
{
    aggiungiCampoCalcolato(c, [=](const RigaDati& riga) -> QVariant {
        if (!sorgente->aperto())
            return QString();
        const int r = sorgente->trova(chiaveSorgente, {riga.valore(chiave)});
        if (r < 0)
            return QString();
        return sorgente->testoRiga(r, sorgente->campo(risultato));
    });
}

void DataSet::invalida()
{
    caricato_ = false;
    azzeraIndici();
}

void DataSet::assicuraCaricato() const
{
    if (stato_ == Stato::Chiuso)
        return;
    if (caricato_) {
        // A load that failed is not retried on every read (a grid would repeat
        // it without end), nor does it pass for an empty or partial table:
        // every read raises it again until the data set is reopened.
        if (guasto_)
            std::rethrow_exception(guasto_);
        return;
    }
    auto* self = const_cast<DataSet*>(this);
    for (auto& col : archivio_.colonne)
        col = ColonnaValori(col.tipo());
    caricato_ = true;
    guasto_ = nullptr;
    auto risolviFiltro = [&] {
        if (!filtroAn_.nomeCampo.isEmpty())
            self->filtroAn_.campo = indiceCampo(filtroAn_.nomeCampo);
    };
    try {
        risolviFiltro();
        self->carica(archivio_);
        risolviFiltro();
        if (filtrato_ && !filtroAn_.nomeCampo.isEmpty() && filtroAn_.campo < 0)
            throw Errore(QStringLiteral("%1: campo '%2' del filtro non trovato").arg(nome_, filtroAn_.nomeCampo));
    } catch (...) {
        for (auto& col : archivio_.colonne)
            col = ColonnaValori(col.tipo());
        visibili_.reset();
        corrente_ = -1;
        guasto_ = std::current_exception();
        throw;
    }
    ricalcolaVisibili();
    corrente_ = righe() > 0 ? 0 : -1;
}

void DataSet::apri()
{
    if (aperto())
        return;
    if (primaDellApertura)
        primaDellApertura(*this);
    primaDiAprire();
    caricato_ = false;
    azzeraIndici();
    stato_ = Stato::Consultazione;
    corrente_ = -1;
    try {
        if (!caricaPigro())
            assicuraCaricato();
    } catch (...) {
        stato_ = Stato::Chiuso;
        caricato_ = false;
        throw;
    }
    Q_EMIT datiCambiati();
    Q_EMIT rigaCambiata();
}

void DataSet::chiudi()
{
    if (!aperto())
        return;
    stato_ = Stato::Chiuso;
    caricato_ = false;
    for (auto& col : archivio_.colonne)
        col = ColonnaValori(col.tipo());
    visibili_.reset();
    corrente_ = -1;
    buffer_.clear();
    azzeraIndici();
    Q_EMIT datiCambiati();
    Q_EMIT rigaCambiata();
}

// --- filter -----------------------------------------------------------------------

void DataSet::impostaFiltro(const QString& filtro)
{
    filtro_ = filtro;
    filtroAn_ = {};
    if (!filtro.trimmed().isEmpty()) {
        // The only filter the program uses: a field equal to a literal.
        static const QRegularExpression re(
            QStringLiteral(R"(^\s*\[?(\w+)\]?\s*=\s*(?:'((?:[^']|'')*)'|(-?\d+))\s*$)"));
        const auto m = re.match(filtro);
        if (!m.hasMatch())
            throw Errore(QStringLiteral("%1: filtro non valido: %2").arg(nome_, filtro));
        filtroAn_.nomeCampo = m.captured(1);
        filtroAn_.campo = indiceCampo(filtroAn_.nomeCampo);
        filtroAn_.valore = m.capturedStart(2) >= 0 ? QVariant(m.captured(2).replace(QLatin1String("''"), QLatin1String("'")))
                                                   : QVariant(m.captured(3).toLongLong());
    }
    if (aperto() && filtrato_) {
        invalida();
        if (!caricaPigro())
            assicuraCaricato();
        Q_EMIT datiCambiati();
        Q_EMIT rigaCambiata();
    }
}

void DataSet::impostaFiltrato(bool attivo)
{
    if (filtrato_ == attivo)
        return;
    filtrato_ = attivo;
    if (aperto()) {
        invalida();
        if (!caricaPigro())
            assicuraCaricato();
        Q_EMIT datiCambiati();
        Q_EMIT rigaCambiata();
    }
}

bool DataSet::visibile(size_t r) const
{
    if (!filtrato_ || filtroAn_.campo < 0)
        return true;
    const QVariant v = valoreFisico(r, filtroAn_.campo);
    const DefCampo& c = campi_[filtroAn_.campo];
    if (v.isNull())
        return false;
    if (c.testuale())
        return v.toString() == filtroAn_.valore.toString();
    if (c.tipo == TipoCampo::Data)
        return v.toDate() == Conversione::data(filtroAn_.valore.toString());
    return v.toLongLong() == filtroAn_.valore.toLongLong();
}

void DataSet::ricalcolaVisibili() const
{
    visibili_.reset();
    if (!filtrato_ || filtroAn_.campo < 0)
        return;
    auto v = std::make_unique<std::vector<uint32_t>>();
    const size_t n = archivio_.righe();
    const int c = filtroAn_.campo;
    if (c < memorizzati_.size() && campi_[c].testuale()) {
        const std::string atteso = filtroAn_.valore.toString().toStdString();
        const ColonnaValori& col = archivio_.colonne[size_t(c)];
        for (size_t r = 0; r < n; ++r)
            if (!col.nullo(r) && col.utf8(r) == atteso)
                v->push_back(uint32_t(r));
    } else {
        for (size_t r = 0; r < n; ++r)
            if (visibile(r))
                v->push_back(uint32_t(r));
    }
    visibili_ = std::move(v);
}

// --- navigation ---------------------------------------------------------------------

int DataSet::righe() const
{
    assicuraCaricato();
    return visibili_ ? int(visibili_->size()) : int(archivio_.righe());
}

void DataSet::cambiaCorrente(int riga)
{
    const int n = righe();
    if (n == 0)
        riga = -1;
    else
        riga = std::clamp(riga, 0, n - 1);
    if (riga == corrente_)
        return;
    if (stato_ == Stato::Modifica || stato_ == Stato::Inserimento)
        registra();
    corrente_ = riga;
    Q_EMIT rigaCambiata();
}

void DataSet::primo() { cambiaCorrente(0); }
void DataSet::ultimo() { cambiaCorrente(righe() - 1); }
void DataSet::prossimo() { cambiaCorrente(corrente_ + 1); }
void DataSet::precedente() { cambiaCorrente(corrente_ - 1); }
void DataSet::vaiA(int riga) { cambiaCorrente(riga); }

// --- values -------------------------------------------------------------------------

QVariant DataSet::valoreFisico(size_t r, int campo) const
{
    return archivio_.colonne[size_t(campo)].valore(r);
}

QVariant DataSet::valoreDerivato(int campo, const RigaDati& riga) const
{
    return derivati_[size_t(campo - memorizzati_.size())]->calcola(riga);
}

QVariant DataSet::valore(int campo) const
{
    if (campo < 0 || campo >= campi_.size())
        throw Errore(QStringLiteral("%1: campo inesistente").arg(nome_));
    if (stato_ == Stato::Modifica || stato_ == Stato::Inserimento) {
        if (campo < memorizzati_.size())
            return Conversione::comeVariant(campi_[campo], buffer_[size_t(campo)]);
        return valoreDerivato(campo, RigaDati(*this, -1));
    }
    assicuraCaricato();
    if (corrente_ < 0)
        return Conversione::normalizza(campi_[campo], QVariant());
    return valoreRiga(corrente_, campo);
}

QVariant DataSet::valoreRiga(int riga, int campo) const
{
    assicuraCaricato();
    if (riga < 0 || riga >= righe())
        return QVariant();
    if (campo >= memorizzati_.size())
        return valoreDerivato(campo, RigaDati(*this, riga));
    return valoreFisico(fisica(riga), campo);
}

QString DataSet::testo(QStringView nome) const
{
    const int c = campo(nome);
    return Conversione::testoVisualizzato(campi_[c], valore(c));
}

QString DataSet::testoRiga(int riga, int campo) const
{
    return Conversione::testoVisualizzato(campi_[campo], valoreRiga(riga, campo));
}

qint64 DataSet::intero(QStringView nome) const
{
    const QVariant v = valore(nome);
    return v.isNull() ? 0 : v.toLongLong();
}

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

// --- editing ----------------------------------------------------------------------------

void DataSet::richiedeModifica(const char* operazione) const
{
    if (!aperto())
        throw Errore(QStringLiteral("%1: impossibile eseguire %2 su un archivio chiuso")
                         .arg(nome_, QString::fromLatin1(operazione)));
}

void DataSet::aggiungi()
{
    richiedeModifica("l'inserimento");
    if (stato_ == Stato::Modifica || stato_ == Stato::Inserimento)
        registra();
    // A new row starts with every field null.
    svuotaBuffer();
    stato_ = Stato::Inserimento;
    rigaInModifica_ = -1;
    try {
        if (nuovoRecord)
            nuovoRecord(*this);
    } catch (...) {
        annulla();
        throw;
    }
}

void DataSet::modifica()
{
    richiedeModifica("la modifica");
    if (stato_ == Stato::Modifica || stato_ == Stato::Inserimento)
        return;
    if (righe() == 0)
        throw Errore(QStringLiteral("%1: nessuna riga da modificare").arg(nome_));
    svuotaBuffer();
    for (int c = 0; c < memorizzati_.size(); ++c)
        Conversione::daMemorizzato(campi_[c], valoreRiga(corrente_, c), buffer_[size_t(c)]);
    rigaInModifica_ = corrente_;
    stato_ = Stato::Modifica;
}

void DataSet::impostaTesto(QStringView nome, QStringView testo) { impostaTesto(campo(nome), testo); }
void DataSet::impostaValore(QStringView nome, const QVariant& v) { impostaValore(campo(nome), v); }

int DataSet::campoModificabile(int c)
{
    if (stato_ != Stato::Modifica && stato_ != Stato::Inserimento)
        modifica();
    if (c < 0 || c >= memorizzati_.size())
        throw Errore(QStringLiteral("%1: il campo %2 non si può modificare").arg(nome_, c < 0 || c >= campi_.size() ? QString::number(c) : campi_[c].nome));
    return c;
}

void DataSet::impostaTesto(int c, QStringView testo)
{
    campoModificabile(c);
    Conversione::daTesto(campi_[c], testo, buffer_[size_t(c)]);
}

void DataSet::impostaValore(int c, const QVariant& v)
{
    campoModificabile(c);
    Conversione::normalizza(campi_[c], v, buffer_[size_t(c)]);
}

void DataSet::impostaIntero(int c, qint64 v)
{
    campoModificabile(c);
    Conversione::daNumero(campi_[c], v, buffer_[size_t(c)]);
}

void DataSet::registra()
{
    if (stato_ != Stato::Modifica && stato_ != Stato::Inserimento)
        return;
    const bool nuovo = stato_ == Stato::Inserimento;
    const qint64 fisicaRiga = nuovo ? -1 : qint64(fisica(rigaInModifica_));
    scrivi(buffer_, fisicaRiga);  // on failure the row stays in edit, as the clerk left it
    stato_ = Stato::Consultazione;
    if (caricato_) {
        if (nuovo) {
            for (int c = 0; c < memorizzati_.size(); ++c)
                archivio_.colonne[size_t(c)].aggiungi(buffer_[c]);
            const size_t r = archivio_.righe() - 1;
            if (visibili_ && visibile(r))
                visibili_->push_back(uint32_t(r));
            if (!visibili_ || (!visibili_->empty() && visibili_->back() == r))
                corrente_ = righe() - 1;
        } else {
            for (int c = 0; c < memorizzati_.size(); ++c)
                archivio_.colonne[size_t(c)].imposta(size_t(fisicaRiga), buffer_[c]);
        }
        azzeraIndici();
        Q_EMIT datiCambiati();
    }
    if (nuovo && dopoInserimento)
        dopoInserimento(*this);
    svuotaBuffer();
    rigaInModifica_ = -1;
    Q_EMIT rigaCambiata();
}

void DataSet::annulla()
{
    if (stato_ != Stato::Modifica && stato_ != Stato::Inserimento)
        return;
    stato_ = Stato::Consultazione;
    svuotaBuffer();
    rigaInModifica_ = -1;
    Q_EMIT rigaCambiata();
}

void DataSet::svuotaBuffer()
{
    // Values go, storage stays: the next row must not allocate.
    buffer_.resize(size_t(memorizzati_.size()));
    for (ValoreCampo& v : buffer_)
        v.nullo = true;
}

// --- quiet cursor moves -------------------------------------------------------------------

SeguitoSospeso::SeguitoSospeso(DataSet& ds) : ds_(&ds) { ++ds.sospensioni_; }

SeguitoSospeso::~SeguitoSospeso()
{
    if (ds_ && --ds_->sospensioni_ == 0)
        Q_EMIT ds_->seguitoRipreso();
}
