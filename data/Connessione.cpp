#include "Connessione.h"

#include "Errore.h"
#include "Motore.h"


QString ParametriConnessione::valoreServer(const QString& parola) const
{
    for (const auto& [k, v] : server)
        if (k == parola)
            return v;
    return {};
}

QString ParametriConnessione::descrizione() const
{
    return tipo == Tipo::Server ? MotorePostgres::descrizione(*this) : file;
}

Connessione::Connessione(const ParametriConnessione& p, Apertura modo) : file_(p.descrizione())
{
    d_ = p.tipo == ParametriConnessione::Tipo::Server ? MotorePostgres::apri(p) : MotoreSqlite::apri(p.file, modo, p.attesa);
}

Connessione::Connessione(const QString& file, Apertura modo, int attesaSecondi)
    : file_(file), d_(MotoreSqlite::apri(file, modo, attesaSecondi))
{
}

Connessione::~Connessione() = default;

void Connessione::esegui(const QString& sql) { d_->esegui(sql); }
int Connessione::righeModificate() const { return d_->righeModificate(); }
qint64 Connessione::ultimoRowid() { return d_->ultimoRowid(); }
Comando Connessione::prepara(const QString& sql) { return Comando(d_->prepara(sql)); }
bool Connessione::esisteTabella(const QString& nome) { return d_->esisteTabella(nome); }
QList<Connessione::InfoColonna> Connessione::colonne(const QString& tabella) { return d_->colonne(tabella); }
QString Connessione::consolidaRegistro() { return d_->consolidaRegistro(); }
void Connessione::iniziaTransazione() { d_->iniziaTransazione(); }
void Connessione::confermaTransazione() { d_->confermaTransazione(); }
void Connessione::annullaTransazione() { d_->annullaTransazione(); }
bool Connessione::inTransazione() const { return d_->inTransazione(); }
std::unique_ptr<ScritturaMassiva> Connessione::scritturaMassiva(const DefTabella& t) { return d_->scritturaMassiva(t); }

// --- statements ---------------------------------------------------------------

Comando::Comando(std::unique_ptr<ComandoMotore> d) : d_(std::move(d)), testi_(size_t(d_->numeroParametri())) {}
Comando::Comando(Comando&&) noexcept = default;
Comando& Comando::operator=(Comando&&) noexcept = default;
Comando::~Comando() = default;

void Comando::lega(int indice, const QVariant& v)
{
    if (v.isNull() || !v.isValid()) {
        legaNull(indice);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::Bool:
        lega(indice, v.toLongLong());
        return;
    case QMetaType::Double:
        d_->legaReale(indice, v.toDouble());
        return;
    case QMetaType::QDate:
        legaTesto(indice, v.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QString:
        legaTesto(indice, *static_cast<const QString*>(v.constData()));
        return;
    default:
        legaTesto(indice, v.toString());
    }
}

void Comando::legaTesto(int indice, QStringView testo)
{
    if (indice < 1 || size_t(indice) > testi_.size())
        return;  // no such parameter: ignored, as every binding out of range
    std::string& u = testi_[size_t(indice - 1)];
    u.clear();
    Utf8::aggiungi(testo, u);
    d_->legaUtf8(indice, u, false);
}

void Comando::lega(int indice, qint64 valore) { d_->legaIntero(indice, valore); }
void Comando::lega(int indice, std::string_view u) { d_->legaUtf8(indice, u, true); }
void Comando::legaUtf8(int indice, std::string_view u) { d_->legaUtf8(indice, u, false); }
void Comando::legaNull(int indice) { d_->legaNull(indice); }

void Comando::lega(const QString& nome, const QVariant& valore)
{
    for (int i = 1; i <= d_->numeroParametri(); ++i)
        if (d_->nomeParametro(i) == nome) {
            lega(i, valore);
            return;
        }
    throw Errore(QStringLiteral("Parametro %1 non trovato").arg(nome));
}

int Comando::numeroParametri() const { return d_->numeroParametri(); }
QString Comando::nomeParametro(int indice) const { return d_->nomeParametro(indice); }
bool Comando::valido() const { return d_ && d_->valido(); }
bool Comando::passo() { return d_->passo(); }
void Comando::azzera() { d_->azzera(); }
int Comando::colonne() const { return d_->colonne(); }
QString Comando::nomeColonna(int i) const { return d_->nomeColonna(i); }
QString Comando::tabellaOrigine(int i) const { return d_->tabellaOrigine(i); }
QString Comando::colonnaOrigine(int i) const { return d_->colonnaOrigine(i); }
Comando::Tipo Comando::tipo(int i) const { return d_->tipo(i); }
qint64 Comando::intero(int i) const { return d_->intero(i); }
double Comando::reale(int i) const { return d_->reale(i); }
std::string_view Comando::utf8(int i) const { return d_->utf8(i); }
QString Comando::testo(int i) const
{
    const std::string_view u = utf8(i);
    return QString::fromUtf8(u.data(), qsizetype(u.size()));
}
