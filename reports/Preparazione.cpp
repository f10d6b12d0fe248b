#include "Preparazione.h"

#include "BandaDisposta.h"
#include "DataSet.h"
#include "Errore.h"
#include "Espressione.h"
#include "Misuratore.h"

#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <unordered_map>

void DatiReport::aggiungi(const QString& nome, DataSet& ds, const QStringList& campi)
{
    sorgenti.push_back({nome, &ds, campi});
}

namespace {

constexpr double tol = 1e-6;
// The space between a text box's border and its text, as the report designer leaves it.
const double spazioX = Misure::pixel(2);
const double spazioY = Misure::pixel(1);

bool stesso(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Puts a walked data set back on the row it stood on, also when the walk fails.
class RiportaCursore {
public:
    explicit RiportaCursore(DataSet& ds) : ds_(ds), riga_(ds.rigaCorrente()) {}
    ~RiportaCursore()
    {
        try {
            if (riga_ >= 0 && ds_.aperto() && ds_.rigaCorrente() != riga_)
                ds_.vaiA(riga_);
        } catch (...) {
        }
    }
    RiportaCursore(const RiportaCursore&) = delete;
    RiportaCursore& operator=(const RiportaCursore&) = delete;

private:
    DataSet& ds_;
    int riga_;
};

class Preparazione final : public AmbitoEspressioni, public ScriptReport {
public:
    Preparazione(const ModelloReport& m, const DatiReport& d, const ConsegnaPagina& consegna = {})
        : m_(m), d_(d), consegna_(consegna)
    {
    }
    ReportPreparato esegui();

    // AmbitoEspressioni
    QVariant colonna(const QString& dati, const QString& campo) override;
    QVariant nome(const QString& nome) override;
    QVariant somma(int indice) override { return somme_[size_t(indice)].valore; }

    // ScriptReport
    QVariant campo(const QString& dati, const QString& c) override { return colonna(dati, c); }
    QVariant variabile(const QString& n) override { return nome(n); }
    void impostaVariabile(const QString& n, const QVariant& v) override { variabili_.insert(n.toLower(), v); }
    void mostra(const QString& e, bool v) override { m_.elemento(e).visibile = v; }
    void mostraBanda(const QString& b, bool v) override { m_.banda(b).visibile = v; }
    void impostaTesto(const QString& e, const QString& t) override { m_.elemento(e).testo = t; }
    void caricaImmagine(const QString& elemento, const QString& file) override;
    int pagina() const override { return pagina_; }

private:
    struct Compilato {
        QString sorgente;
        TestoReport testo;
        quint16 carattere = 0;
    };
    struct Somma {
        Espressione argomento;
        QString banda;        // the data band whose rows it adds
        QString proprietaria; // the band that prints it: it starts again after each printing
        QVariant valore = QVariant(qint64(0));
    };

    const DatiReport::Sorgente& sorgente(const QString& nome) const;
    Compilato& compilato(const Elemento& e, const Banda& b);

    // Laying out.
    BandaDisposta disponi(const Banda& b);
    double disponiElemento(const Elemento& e, const Banda& b, BandaDisposta& out);
    std::vector<double> scostamenti(const Banda& b);
    double disponiTesto(const Elemento& e, const Banda& b, BandaDisposta& out);
    double disponiSottoReport(const Elemento& e, BandaDisposta& out);
    QImage immagine(const Elemento& e);

    // Printing.
    bool stampa(const Banda& b);
    void colloca(BandaDisposta bd, const Banda& b);
    void collocaQui(BandaDisposta& bd);
    void nuovaPagina();
    void chiudiPagina();
    void eseguiDati(const Banda& dati);
    void figlie(const Banda& b);
    void accumula(const QString& banda);
    void ricomincia(const QString& proprietaria);
    std::vector<const Banda*> bande(TipoBanda tipo, const QString& padre = QString()) const;

    ModelloReport m_;  // a copy: procedures hide items and change texts for this run only
    const DatiReport& d_;
    ConsegnaPagina consegna_;  // a copy: the default argument is a temporary
    ReportPreparato r_;
    Misuratore misura_;
    std::unordered_map<const Elemento*, Compilato> compilati_;
    QHash<QString, QImage> immagini_;
    QVariantHash variabili_;
    std::vector<Somma> somme_;

    int pagina_ = 0;
    double y_ = 0, fondo_ = 0;
    bool datiSullaPagina_ = false;
    // Where the bands of a new page would start: under its page headers and
    // the repeated column headers. A band moves to a new page only if it gains room there.
    double corpoPaginaNuova() const;
    bool nuovaPaginaAiuta() const { return y_ > corpoPaginaNuova() + tol; }
    std::vector<const Banda*> ripetute_;  // column headers repeated on every page
    // The heights the page headers and repeated column headers took when last
    // printed: a header whose texts grow is taller than its template says.
    std::unordered_map<const Banda*, double> altezzeStampate_;
    double altezzaStampata(const Banda* b) const;
    // Group conditions are read on the next row without moving there.
    const DataSet* dsAvanti_ = nullptr;
    int rigaAvanti_ = -1;
};

// --- values --------------------------------------------------------------------------

const DatiReport::Sorgente& Preparazione::sorgente(const QString& nome) const
{
    for (const auto& s : d_.sorgenti)
        if (stesso(s.nome, nome))
            return s;
    throw Errore(QStringLiteral("Report %1: archivio '%2' sconosciuto").arg(m_.nome, nome));
}

QVariant Preparazione::colonna(const QString& dati, const QString& campo)
{
    const DatiReport::Sorgente& s = sorgente(dati);
    if (!s.campi.isEmpty() && !s.campi.contains(campo, Qt::CaseInsensitive))
        throw Errore(QStringLiteral("Report %1: il campo '%2' non è offerto da %3").arg(m_.nome, campo, dati));
    const DataSet& ds = *s.ds;
    if (!ds.aperto())
        return QVariant();
    const int c = ds.indiceCampo(campo);
    if (c < 0)
        throw Errore(QStringLiteral("Report %1: campo '%2' non trovato in %3").arg(m_.nome, campo, dati));
    QVariant v = &ds == dsAvanti_ ? ds.valoreRiga(rigaAvanti_, c) : ds.valore(c);
    // a fixed-width text prints without its padding
    if (ds.campi()[c].tipo == TipoCampo::Fisso && !v.isNull()) {
        QString t = v.toString();
        qsizetype n = t.size();
        while (n > 0 && t[n - 1] == QLatin1Char(' '))
            --n;
        if (n < t.size()) {
            t.truncate(n);
            v = t;
        }
    }
    return v;
}

QVariant Preparazione::nome(const QString& n)
{
    if (d_.valoreEsterno)
        if (std::optional<QVariant> v = d_.valoreEsterno(n))
            return *v;
    const auto it = variabili_.constFind(n.toLower());
    if (it != variabili_.constEnd())
        return *it;
    if (stesso(n, QStringLiteral("Date")))
        return d_.adesso.date();
    if (stesso(n, QStringLiteral("Time")))
        return d_.adesso.time();
    if (stesso(n, QStringLiteral("Page#")) || stesso(n, QStringLiteral("Page")))
        return qint64(pagina_);
    throw Errore(QStringLiteral("Report %1: nome sconosciuto '%2'").arg(m_.nome, n));
}

void Preparazione::caricaImmagine(const QString& elemento, const QString& file)
{
    const Elemento& e = m_.elemento(elemento);
    QImageReader lettore(file);
    QImage img = lettore.read();
    if (img.isNull())
        throw Errore(QStringLiteral("Impossibile leggere l'immagine %1: %2").arg(file, lettore.errorString()));
    immagini_.insert(e.nome.toLower(), img);
}

Preparazione::Compilato& Preparazione::compilato(const Elemento& e, const Banda& b)
{
    auto it = compilati_.find(&e);
    if (it != compilati_.end() && it->second.sorgente == e.testo)
        return it->second;
    const QString proprietaria = b.nome;
    RegistraSomma registra = [this, proprietaria](const Espressione& arg, const QString& banda) {
        somme_.push_back({arg, banda, proprietaria});
        return int(somme_.size() - 1);
    };
    Compilato c{e.testo, TestoReport::compila(e.testo, registra), r_.indiceCarattere(e.carattere)};
    return compilati_.insert_or_assign(&e, std::move(c)).first->second;
}

void Preparazione::accumula(const QString& banda)
{
    for (Somma& s : somme_) {
        if (!stesso(s.banda, banda))
            continue;
        const QVariant v = s.argomento.valuta(*this);
        const bool interi = Valori::intero(s.valore) && (Valori::intero(v) || v.isNull());
        const double n = Valori::numero(s.valore) + Valori::numero(v);
        s.valore = interi ? QVariant(qint64(n)) : QVariant(n);
    }
}

void Preparazione::ricomincia(const QString& proprietaria)
{
    for (Somma& s : somme_)
        if (stesso(s.proprietaria, proprietaria))
            s.valore = QVariant(qint64(0));
}

// --- laying out --------------------------------------------------------------------------

QImage Preparazione::immagine(const Elemento& e)
{
    const QString chiave = e.nome.toLower();
    auto it = immagini_.constFind(chiave);
    if (it != immagini_.constEnd())
        return *it;
    QImage img;
    if (!e.file.isEmpty()) {
        QImageReader lettore(e.file);
        img = lettore.read();
        if (img.isNull())
            throw Errore(QStringLiteral("Impossibile leggere l'immagine %1: %2").arg(e.file, lettore.errorString()));
    }
    immagini_.insert(chiave, img);
    return img;
}

double Preparazione::disponiTesto(const Elemento& e, const Banda& b, BandaDisposta& out)
{
    Compilato& c = compilato(e, b);
    TestoReport::Risultato v = c.testo.valuta(*this);
    v.testo.remove(QLatin1Char('\r'));
    const Carattere& f = e.carattere;
    const Misuratore::Metriche& mt = misura_.metriche(f);

    TestoPreparato t;
    t.carattere = c.carattere;
    t.orizzontale = e.orizzontale;
    t.colore = e.coloreTesto;
    t.sfondo = e.sfondo;
    if (v.valore.isValid() && !v.valore.isNull()) {
        if (Valori::data(v.valore)) {
            t.tipo = TestoPreparato::Tipo::Data;
            t.numero = double(v.valore.toDate().toJulianDay());
        } else if (Valori::intero(v.valore) || v.valore.typeId() == QMetaType::Double) {
            t.tipo = TestoPreparato::Tipo::Numero;
            t.numero = v.valore.toDouble();
        }
    }

    double x = e.x, w = e.larghezza;
    // A line breaks when it no longer fits the box itself: the insets are
    // room the text may take before it is cut (a tax code must print whole
    // in a box designed to the letter's width).
    const double utile = w;
    std::vector<Misuratore::Riga> righe;
    if (e.aCapo && !e.larghezzaDalTesto) {
        righe = misura_.spezza(f, v.testo, utile);
    } else {
        // one line per paragraph, cut at the box unless the box takes the text's width
        double massima = 0;
        for (qsizetype p0 = 0; p0 <= v.testo.size();) {
            qsizetype p1 = v.testo.indexOf(QLatin1Char('\n'), p0);
            if (p1 < 0)
                p1 = v.testo.size();
            QStringView par = QStringView(v.testo).mid(p0, p1 - p0);
            while (!par.isEmpty() && par.back() == QLatin1Char(' '))
                par.chop(1);
            int n = int(par.size());
            if (e.larghezzaDalTesto)
                massima = std::max(massima, misura_.larghezza(f, par));
            else
                n = misura_.quantiEntrano(f, par, utile);
            righe.push_back({int(p0), n, true});
            p0 = p1 + 1;
        }
        if (e.larghezzaDalTesto) {
            const double nuova = massima + 2 * spazioX;
            if (e.orizzontale == Orizzontale::Destra)
                x += w - nuova;
            else if (e.orizzontale == Orizzontale::Centro)
                x += (w - nuova) / 2;
            w = nuova;
        }
    }

    double h = e.altezza;
    const double altezzaTesto = double(righe.size()) * mt.interlinea;
    if (e.estendibile) {
        h = std::max(h, altezzaTesto + 2 * spazioY);
    } else {
        // lines that do not fit the box are not printed; the first one always is
        const auto entrano = std::max<size_t>(1, size_t(std::floor((h - 2 * spazioY + tol) / mt.interlinea)));
        if (righe.size() > entrano)
            righe.resize(entrano);
    }
    const double blocco = double(righe.size()) * mt.interlinea;
    double alto = spazioY;
    if (e.verticale == Verticale::Centro)
        alto = (h - blocco) / 2;
    else if (e.verticale == Verticale::Basso)
        alto = h - spazioY - blocco;

    t.riquadro = QRectF(x, e.y, w, h);
    for (size_t i = 0; i < righe.size(); ++i) {
        const Misuratore::Riga& r = righe[i];
        if (r.lunghezza == 0)
            continue;
        TestoPreparato::Riga p;
        p.inizio = quint16(std::min(r.inizio, 65535));
        p.lunghezza = quint16(std::min(r.lunghezza, 65535 - int(p.inizio)));
        const QStringView testoRiga = QStringView(v.testo).mid(p.inizio, p.lunghezza);
        const double lw = misura_.larghezza(f, testoRiga);
        double xr = x + spazioX;
        if (e.orizzontale == Orizzontale::Centro)
            xr = x + (w - lw) / 2;
        else if (e.orizzontale == Orizzontale::Destra)
            xr = x + w - spazioX - lw;
        p.x = float(xr);
        p.linea = float(e.y + alto + double(i) * mt.interlinea + mt.ascesa);
        if (e.orizzontale == Orizzontale::Giustificato && !r.ultimaDelParagrafo && testoRiga.contains(QLatin1Char(' ')))
            p.giustifica = float(w - 2 * spazioX);
        t.righe.append(p);
    }
    t.testo = std::move(v.testo);
    out.primitive.emplace_back(std::move(t));
    return e.y + h;
}

double Preparazione::disponiSottoReport(const Elemento& e, BandaDisposta& out)
{
    const auto it = m_.sottoReport.find(e.sottoReport);
    if (it == m_.sottoReport.end())
        throw Errore(QStringLiteral("Report %1: sottoreport '%2' inesistente").arg(m_.nome, e.sottoReport));
    double y = e.y;
    auto metti = [&](const Banda& b) {
        if (b.primaDellaStampa)
            b.primaDellaStampa(*this);
        if (!b.visibile)
            return;
        BandaDisposta bd = disponi(b);
        ricomincia(b.nome);
        bd.trasla(e.x, y);
        y += bd.altezza;
        for (Primitiva& p : bd.primitive)
            out.primitive.push_back(std::move(p));
        accumula(b.nome);
    };
    for (const Banda& b : it->second) {
        if (b.tipo != TipoBanda::Dati)
            continue;
        DataSet& ds = *sorgente(b.dati).ds;
        RiportaCursore riporta(ds);
        const int n = ds.aperto() ? ds.righe() : 0;
        for (int r = 0; r < n; ++r) {
            ds.vaiA(r);
            metti(b);
        }
    }
    return y;
}

double Preparazione::disponiElemento(const Elemento& e, const Banda& b, BandaDisposta& out)
{
    switch (e.tipo) {
    case Elemento::Tipo::Testo: return disponiTesto(e, b, out);
    case Elemento::Tipo::Linea:
        out.primitive.emplace_back(LineaPreparata{QPointF(e.x, e.y), QPointF(e.x + e.larghezza, e.y + e.altezza),
                                                  float(e.spessore), e.stile, e.colore});
        return 0;
    case Elemento::Tipo::Rettangolo:
        out.primitive.emplace_back(
            RettangoloPreparato{QRectF(e.x, e.y, e.larghezza, e.altezza), e.riempimento, e.colore, float(e.spessore)});
        return e.y + e.altezza;
    case Elemento::Tipo::Immagine: {
        const QImage img = immagine(e);
        if (img.isNull() || img.width() == 0 || img.height() == 0)
            return 0;
        // fitted into its box, keeping its proportions, centred
        const double s = std::min(e.larghezza / img.width(), e.altezza / img.height());
        const double w = img.width() * s, h = img.height() * s;
        out.primitive.emplace_back(
            ImmaginePreparata{QRectF(e.x + (e.larghezza - w) / 2, e.y + (e.altezza - h) / 2, w, h), img});
        return 0;
    }
    case Elemento::Tipo::SottoReport: return disponiSottoReport(e, out);
    }
    return 0;
}

// How far each item moves down because a text above it grew: a growing text
// pushes every item that starts at or below its designed foot and shares
// some of its width, by what it grew plus what pushed it. Empty when no
// item of the band grows.
std::vector<double> Preparazione::scostamenti(const Banda& b)
{
    const auto cresce = [](const Elemento& e) { return e.visibile && e.tipo == Elemento::Tipo::Testo && e.estendibile; };
    if (std::none_of(b.elementi.begin(), b.elementi.end(), cresce))
        return {};
    struct Estensione {
        double sinistra, destra, alto, basso;
    };
    const auto estensione = [](const Elemento& e) {
        return Estensione{std::min(e.x, e.x + e.larghezza), std::max(e.x, e.x + e.larghezza),
                          std::min(e.y, e.y + e.altezza), std::max(e.y, e.y + e.altezza)};
    };
    std::vector<size_t> ordine(b.elementi.size());
    for (size_t i = 0; i < ordine.size(); ++i)
        ordine[i] = i;
    std::stable_sort(ordine.begin(), ordine.end(),
                     [&](size_t a, size_t c) { return estensione(b.elementi[a]).alto < estensione(b.elementi[c]).alto; });
    std::vector<double> scosta(b.elementi.size(), 0.0);
    struct Spinta {
        Estensione e;
        double quanto;  // where its foot moved: its own shift plus its growth
    };
    std::vector<Spinta> spinte;
    for (size_t i : ordine) {
        const Elemento& e = b.elementi[i];
        if (!e.visibile)
            continue;
        const Estensione x = estensione(e);
        for (const Spinta& s : spinte)
            if (s.e.basso <= x.alto + tol && s.e.sinistra <= x.destra + tol && x.sinistra <= s.e.destra + tol)
                scosta[i] = std::max(scosta[i], s.quanto);
        if (cresce(e)) {
            BandaDisposta prova;
            const double crescita = std::max(0.0, disponiTesto(e, b, prova) - e.y - e.altezza);
            if (crescita > tol || scosta[i] > tol)
                spinte.push_back({x, scosta[i] + crescita});
        }
    }
    return scosta;
}

BandaDisposta Preparazione::disponi(const Banda& b)
{
    BandaDisposta out;
    out.altezza = b.altezza;
    const std::vector<double> scosta = scostamenti(b);
    double fondo = 0;
    for (size_t i = 0; i < b.elementi.size(); ++i) {
        const Elemento& e = b.elementi[i];
        if (!e.visibile)
            continue;
        const size_t primo = out.primitive.size();
        double basso = disponiElemento(e, b, out);
        if (!scosta.empty() && scosta[i] > 0) {
            for (size_t k = primo; k < out.primitive.size(); ++k)
                ::trasla(out.primitive[k], 0, scosta[i]);
            // a rule pushed down takes the band with it, as a box does
            if (e.tipo == Elemento::Tipo::Linea)
                basso = std::max(e.y, e.y + e.altezza);
            if (basso > 0)
                basso += scosta[i];
        }
        fondo = std::max(fondo, basso);
    }
    if (b.estendibile)
        out.altezza = std::max(out.altezza, fondo);
    return out;
}

// --- pages ---------------------------------------------------------------------------------

std::vector<const Banda*> Preparazione::bande(TipoBanda tipo, const QString& padre) const
{
    std::vector<const Banda*> r;
    for (const Banda& b : m_.bande)
        if (b.tipo == tipo && (padre.isNull() || stesso(b.padre, padre)))
            r.push_back(&b);
    return r;
}

void Preparazione::collocaQui(BandaDisposta& bd)
{
    bd.trasla(m_.pagina.sinistro, y_);
    auto& pag = r_.pagine.back().primitive;
    for (Primitiva& p : bd.primitive)
        pag.push_back(std::move(p));
    y_ += bd.altezza;
}

void Preparazione::colloca(BandaDisposta bd, const Banda& b)
{
    const bool corpo = b.tipo != TipoBanda::TitoloReport && b.tipo != TipoBanda::IntestazionePagina &&
                       b.tipo != TipoBanda::PiePagina;
    if (!corpo) {
        collocaQui(bd);
        return;
    }
    const bool entraInUnaPagina = bd.altezza <= fondo_ - corpoPaginaNuova() + tol;
    if (bd.altezza > fondo_ - y_ + tol && !b.divisibile && entraInUnaPagina && nuovaPaginaAiuta())
        nuovaPagina();
    auto ascesa = [this](quint16 c) { return misura_.metriche(r_.caratteri[c]).ascesa; };
    auto discesa = [this](quint16 c) { return misura_.metriche(r_.caratteri[c]).discesa; };
    // what still does not fit is split at the page's end
    while (bd.altezza > fondo_ - y_ + tol) {
        if (bd.primitive.empty()) {
            bd.altezza = std::max(0.0, fondo_ - y_);  // blank space left over ends with the page
            break;
        }
        BandaDisposta resto = bd.dividi(fondo_ - y_, ascesa, discesa);
        if (bd.altezza <= tol && bd.primitive.empty()) {
            if (nuovaPaginaAiuta()) {
                bd = std::move(resto);
                nuovaPagina();
                continue;
            }
            // not even an empty page holds the first piece: it prints cut by the page's end
            bd = std::move(resto);
            resto = BandaDisposta{};
            bd.altezza = std::max(0.0, fondo_ - y_);
        }
        collocaQui(bd);
        datiSullaPagina_ = true;
        if (resto.primitive.empty()) {
            y_ = std::max(y_, fondo_);  // only blank space below the cut: it ends with the page
            return;
        }
        nuovaPagina();
        bd = std::move(resto);
    }
    collocaQui(bd);
    datiSullaPagina_ = true;
}

double Preparazione::altezzaStampata(const Banda* b) const
{
    const auto it = altezzeStampate_.find(b);
    return it != altezzeStampate_.end() ? it->second : b->altezza;
}

double Preparazione::corpoPaginaNuova() const
{
    double y = m_.pagina.alto;
    for (const Banda* b : bande(TipoBanda::IntestazionePagina))
        y += b->visibile ? altezzaStampata(b) : 0;
    for (const Banda* b : ripetute_)
        y += b->visibile ? altezzaStampata(b) : 0;
    return y;
}

void Preparazione::nuovaPagina()
{
    if (pagina_ > 0)
        chiudiPagina();
    r_.pagine.emplace_back();
    ++pagina_;
    y_ = m_.pagina.alto;
    fondo_ = m_.pagina.altezzaStampata() - m_.pagina.basso;
    for (const Banda* b : bande(TipoBanda::PiePagina))
        if (b->visibile)
            fondo_ -= b->altezza;
    if (pagina_ == 1)
        for (const Banda* b : bande(TipoBanda::TitoloReport))
            stampa(*b);
    for (const Banda* b : bande(TipoBanda::IntestazionePagina))
        stampa(*b);
    datiSullaPagina_ = false;
    for (const Banda* b : ripetute_)
        stampa(*b);
    datiSullaPagina_ = false;
}

void Preparazione::chiudiPagina()
{
    double altezza = 0;
    for (const Banda* b : bande(TipoBanda::PiePagina))
        if (b->visibile)
            altezza += b->altezza;
    y_ = m_.pagina.altezzaStampata() - m_.pagina.basso - altezza;
    for (const Banda* b : bande(TipoBanda::PiePagina))
        stampa(*b);
    if (consegna_) {
        // handed over and dropped: a report of any length holds one page at a time
        consegna_(r_, r_.pagine.back(), pagina_);
        r_.pagine.pop_back();
        return;
    }
    r_.pagine.back().primitive.shrink_to_fit();  // two thousand pages hold no spare room
}

bool Preparazione::stampa(const Banda& b)
{
    if (b.primaDellaStampa)
        b.primaDellaStampa(*this);
    if (!b.visibile)
        return false;
    BandaDisposta bd = disponi(b);
    if (b.tipo == TipoBanda::IntestazionePagina || b.tipo == TipoBanda::IntestazioneColonne)
        altezzeStampate_[&b] = bd.altezza;
    ricomincia(b.nome);
    colloca(std::move(bd), b);
    accumula(b.nome);
    figlie(b);
    return true;
}

void Preparazione::figlie(const Banda& b)
{
    for (const Banda* f : bande(TipoBanda::Figlia, b.nome))
        stampa(*f);
}

void Preparazione::eseguiDati(const Banda& dati)
{
    DataSet& ds = *sorgente(dati.dati).ds;
    RiportaCursore riporta(ds);
    const int n = ds.aperto() ? ds.righe() : 0;
    const auto intestazioni = bande(TipoBanda::IntestazioneColonne, dati.nome);
    const auto piedi = bande(TipoBanda::PiedeDati, dati.nome);
    const auto dettagli = bande(TipoBanda::Dettaglio, dati.nome);
    const auto gruppi = bande(TipoBanda::IntestazioneGruppo, dati.nome);
    if (n == 0) {
        for (const Banda* b : intestazioni)
            if (b->ancheSenzaRighe)
                stampa(*b);
        for (const Banda* b : piedi)
            if (b->ancheSenzaRighe)
                stampa(*b);
        return;
    }

    std::vector<Espressione> condizioni;
    for (const Banda* g : gruppi)
        condizioni.push_back(Espressione::compila(g->condizione));
    auto valoriGruppi = [&] {
        QStringList v;
        for (const Espressione& c : condizioni)
            v.append(Valori::testo(c.valuta(*this)));
        return v;
    };
    const size_t ripetutePrima = ripetute_.size();
    size_t cambiato = 0;  // the outermost group that starts on this row
    for (int r = 0; r < n; ++r) {
        ds.vaiA(r);
        if (r == 0) {
            // the column headers go with the first row onto the page that holds it
            double insieme = dati.altezza;
            for (const Banda* b : intestazioni)
                insieme += b->visibile ? b->altezza : 0;
            if (!intestazioni.empty() && nuovaPaginaAiuta() && y_ + insieme > fondo_ + tol)
                nuovaPagina();
            for (const Banda* b : intestazioni) {
                stampa(*b);
                if (b->ripetiSuOgniPagina)
                    ripetute_.push_back(b);
            }
        }
        for (size_t k = cambiato; k < gruppi.size(); ++k) {
            if (gruppi[k]->nuovaPagina && datiSullaPagina_ && r > 0)
                nuovaPagina();
            stampa(*gruppi[k]);
        }
        stampa(dati);
        for (const Banda* d : dettagli)
            eseguiDati(*d);
        // the groups that end here: compare with the next row, read in place
        cambiato = 0;
        if (r + 1 < n && !gruppi.empty()) {
            const QStringList ora = valoriGruppi();
            dsAvanti_ = &ds;
            rigaAvanti_ = r + 1;
            QStringList dopo;
            try {
                dopo = valoriGruppi();
            } catch (...) {
                dsAvanti_ = nullptr;
                throw;
            }
            dsAvanti_ = nullptr;
            cambiato = gruppi.size();
            for (size_t k = 0; k < gruppi.size(); ++k)
                if (ora[qsizetype(k)] != dopo[qsizetype(k)]) {
                    cambiato = k;
                    break;
                }
        }
        for (size_t k = gruppi.size(); k-- > cambiato;)
            for (const Banda* p : bande(TipoBanda::PiedeGruppo, gruppi[k]->nome))
                stampa(*p);
    }
    for (const Banda* b : piedi)
        stampa(*b);
    ripetute_.resize(ripetutePrima);
}

ReportPreparato Preparazione::esegui()
{
    // The grids bound to the data sets stay where they are meanwhile.
    std::vector<std::unique_ptr<SeguitoSospeso>> quieti;
    for (const auto& s : d_.sorgenti)
        if (s.ds)
            quieti.push_back(std::make_unique<SeguitoSospeso>(*s.ds));
    for (DataSet* ds : d_.quieti)
        quieti.push_back(std::make_unique<SeguitoSospeso>(*ds));

    r_.titolo = m_.nome;
    r_.larghezza = m_.pagina.larghezzaStampata();
    r_.altezza = m_.pagina.altezzaStampata();
    r_.colonne = bordiColonne(m_);
    for (const QString& v : m_.variabili)
        variabili_.insert(v.toLower(), QVariant());
    for (auto it = d_.variabili.constBegin(); it != d_.variabili.constEnd(); ++it)
        variabili_.insert(it.key().toLower(), it.value());
    // Every text is compiled before the first row, so that each sum sees every row.
    auto compilaTutto = [this](const std::deque<Banda>& bb) {
        for (const Banda& b : bb)
            for (const Elemento& e : b.elementi)
                if (e.tipo == Elemento::Tipo::Testo)
                    compilato(e, b);
    };
    compilaTutto(m_.bande);
    for (const auto& [nome, bb] : m_.sottoReport)
        compilaTutto(bb);

    if (m_.allAvvio)
        m_.allAvvio(*this);
    nuovaPagina();
    for (const Banda* b : bande(TipoBanda::Dati))
        eseguiDati(*b);
    for (const Banda* b : bande(TipoBanda::RiepilogoReport))
        stampa(*b);
    chiudiPagina();
    return std::move(r_);
}

}  // namespace

ReportPreparato PreparaReport(const ModelloReport& modello, const DatiReport& dati)
{
    Preparazione p(modello, dati);
    return p.esegui();
}

ReportPreparato PreparaReport(const ModelloReport& modello, const DatiReport& dati, const ConsegnaPagina& consegna)
{
    Preparazione p(modello, dati, consegna);
    return p.esegui();
}

std::vector<double> bordiColonne(const ModelloReport& m)
{
    std::vector<double> x;
    for (const Banda& b : m.bande) {
        if (!b.visibile)
            continue;
        for (const Elemento& e : b.elementi) {
            if (e.tipo != Elemento::Tipo::Testo || !e.visibile)
                continue;
            const double sinistra = m.pagina.sinistro + e.x, destra = sinistra + e.larghezza;
            // a box as wide as its text keeps only the side it is anchored to
            if (!e.larghezzaDalTesto || e.orizzontale != Orizzontale::Destra)
                x.push_back(sinistra);
            if (!e.larghezzaDalTesto || e.orizzontale == Orizzontale::Destra)
                x.push_back(destra);
        }
    }
    std::sort(x.begin(), x.end());
    std::vector<double> bordi;
    for (double v : x)
        if (bordi.empty() || v - bordi.back() > 0.1)
            bordi.push_back(v);
    return bordi;
}
