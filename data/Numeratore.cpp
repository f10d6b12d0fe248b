#include "Numeratore.h"

#include "Connessione.h"
#include "DataSet.h"
#include "Errore.h"
#include "Tabella.h"

namespace {
struct Unita {
    QString codice, sezione;
    qint64 immobile = 0, progressivo = 0;
    bool uguale(QStringView c, QStringView s, qint64 i, qint64 p) const
    {
        return immobile == i && progressivo == p && codice == c && sezione == s;
    }
    void assegna(QStringView c, QStringView s, qint64 i, qint64 p)
    {
        // the strings keep their storage: a new unit costs no allocation
        codice.resize(0);
        codice.append(c);
        sezione.resize(0);
        sezione.append(s);
        immobile = i;
        progressivo = p;
    }
};

// The managing municipality's code is the same for every unit filtered.
quint64 hashUnita(QStringView sezione, qint64 immobile, qint64 progressivo)
{
    quint64 h = quint64(immobile) * 0x9E3779B97F4A7C15ull ^ quint64(progressivo) * 0xC2B2AE3D27D4EB4Full;
    for (QChar ch : sezione)
        h = (h ^ ch.unicode()) * 0x100000001B3ull;
    return h ^ (h >> 29);
}

// Each unit sets three bits of the filter, from two halves of its hash: at
// about eight bits a line a unit not yet seen finds all three set a few times
// in a hundred thousand, where one bit would be set about once in a hundred.
// Each false alarm costs a query, and on a server the rows gathered for that
// table are sent first.
constexpr int bitPerUnita = 3;
template <typename F>
void perOgniBit(quint64 h, size_t maschera, F f)
{
    const quint64 passo = (h >> 32) | 1;
    for (int i = 0; i < bitPerUnita; ++i)
        f(size_t(h + quint64(i) * passo) & maschera);
}

}  // namespace

struct Numeratore::PerTabella {
    PerTabella(Tabella* t, Comando m, size_t bits)
        : tabella(t),
          massimo(std::move(m)),
          progrRec(t->campo(u"ProgrRec")),
          larghezzaCodice(t->campi()[t->campo(u"Codice")].larghezza),
          larghezzaSezione(t->campi()[t->campo(u"Sezione")].larghezza),
          visti(bits / 64, 0)
    {
    }
    Tabella* tabella;
    Comando massimo;
    int progrRec, larghezzaCodice, larghezzaSezione;
    bool valida = false;  // `ultima` and `numero` hold a stored row
    Unita ultima;
    int numero = 0;
    // the number handed out last, counted once its row is stored
    bool inCorso = false;
    bool stessaUnita = false;
    Unita candidata;
    int numeroInCorso = 0;
    // Units of the managing municipality numbered in this run, as bits of
    // a fixed-size filter: a unit whose bit is clear has no stored row, so
    // it needs no query; a set bit may be another unit's, and then the
    // query decides.
    std::vector<quint64> visti;
};

Numeratore::Numeratore(Connessione& db, const QString& codiceGestione, const QList<Tabella*>& tabelle, qint64 righe)
    : codiceGestione_(codiceGestione)
{
    // about eight bits a line, from 4 kbit up to 16 Mbit (2 MiB) a table
    size_t bits = size_t(1) << 12;
    while (bits < size_t(std::max<qint64>(righe, 0)) * 8 && bits < (size_t(1) << 24))
        bits <<= 1;
    maschera_ = bits - 1;
    for (Tabella* t : tabelle)
        tabelle_.push_back(std::make_unique<PerTabella>(
            t,
            db.prepara(QStringLiteral("SELECT MAX(ProgrRec) FROM %1 WHERE Codice = ? AND Sezione = ? "
                                      "AND Immobile = ? AND Progressivo = ?")
                           .arg(t->nome())),
            bits));
}

Numeratore::~Numeratore() = default;

Numeratore::PerTabella& Numeratore::perTabella(const DataSet& t)
{
    for (auto& p : tabelle_)
        if (p->tabella == &t)
            return *p;
    throw Errore(QStringLiteral("%1: tabella senza numerazione").arg(t.nome()));
}

void Numeratore::numera(DataSet& tabella, QStringView codice, QStringView sezione, qint64 immobile,
                        qint64 progressivo)
{
    PerTabella& t = perTabella(tabella);
    t.inCorso = false;
    t.stessaUnita = t.valida && t.ultima.uguale(codice, sezione, immobile, progressivo);
    int n;
    if (t.stessaUnita) {
        n = t.numero + 1;
    } else {
        const bool gestione = codice == codiceGestione_;
        bool forseVista = true;  // another municipality's unit is always asked for
        if (gestione) {
            perOgniBit(hashUnita(sezione, immobile, progressivo), maschera_,
                       [&](size_t b) { forseVista = forseVista && (t.visti[b >> 6] >> (b & 63) & 1); });
        }
        if (!forseVista) {
            n = 1;
        } else {
            t.tabella->scriviAccumulate();  // the query must see every row numbered so far
            t.massimo.legaTesto(1, codice);
            t.massimo.legaTesto(2, sezione);
            t.massimo.lega(3, immobile);
            t.massimo.lega(4, progressivo);
            t.massimo.passo();
            n = int(t.massimo.intero(0)) + 1;  // a null maximum reads as 0
            t.massimo.azzera();
        }
        t.candidata.assegna(codice, sezione, immobile, progressivo);
    }
    tabella.impostaIntero(t.progrRec, n);
    t.numeroInCorso = n;
    t.inCorso = true;
}

void Numeratore::registrato(const DataSet& tabella)
{
    PerTabella& t = perTabella(tabella);
    if (!t.inCorso)
        return;
    t.inCorso = false;
    if (t.stessaUnita) {
        t.numero = t.numeroInCorso;
        return;
    }
    // A code or section longer than its column is stored cut, and the
    // query, comparing the whole text, would not find the row again.
    if (t.candidata.codice.size() > t.larghezzaCodice || t.candidata.sezione.size() > t.larghezzaSezione)
        return;
    std::swap(t.ultima, t.candidata);
    t.numero = t.numeroInCorso;
    t.valida = true;
    if (t.ultima.codice == codiceGestione_) {
        perOgniBit(hashUnita(t.ultima.sezione, t.ultima.immobile, t.ultima.progressivo), maschera_,
                   [&](size_t b) { t.visti[b >> 6] |= quint64(1) << (b & 63); });
    }
}
