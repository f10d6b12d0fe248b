#include "DataSet.h"
#include "DataSetIndice.h"

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
