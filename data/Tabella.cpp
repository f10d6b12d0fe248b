#include "Tabella.h"

#include "Collegamento.h"
#include "Errore.h"
#include "Motore.h"
#include "Schema.h"

Tabella::Tabella(Collegamento& db, const QString& nome, QObject* parent)
    : DataSet(nome, parent), db_(db), def_(Schema::tabella(nome))
{
    if (!def_)
        throw Errore(QStringLiteral("Tabella %1 sconosciuta").arg(nome));
    definisciCampi(def_->campi);
}

Tabella::~Tabella() = default;

void Tabella::accumula(bool attivo)
{
    if (attivo) {
        accumula_ = true;
        return;
    }
    scriviAccumulate();
    accumula_ = false;
    accumulo_.reset();
}

void Tabella::scriviAccumulate()
{
    if (!accumulo_ || accumulo_->vuota())
        return;
    try {
        accumulo_->scrivi();
    } catch (const Errore& e) {
        accumulo_->scarta();
        throw ScritturaNonRiuscita(e.testo());
    }
}

void Tabella::scartaAccumulate()
{
    if (accumulo_)
        accumulo_->scarta();
}

void Tabella::verifica()
{
    if (verificata_)
        return;
    Schema::verifica(db_.connessione(), *def_);
    verificata_ = true;
}

void Tabella::carica(Archivio& a)
{
    verifica();
    scriviAccumulate();
    QStringList colonne;
    for (const DefCampo& c : def_->campi)
        colonne << c.nome;
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(colonne.join(QStringLiteral(", ")), def_->nome);
    const Filtro& f = filtroAnalizzato();
    const bool filtroSql = filtrato() && f.campo >= 0;
    if (filtroSql)
        sql += QStringLiteral(" WHERE %1 = ?").arg(def_->campi[f.campo].nome);
    sql += QStringLiteral(" ORDER BY rowid");
    Comando c = db_.connessione().prepara(sql);
    if (filtroSql)
        c.lega(1, f.valore);
    rowid_.clear();
    while (c.passo()) {
        rowid_.push_back(c.intero(0));
        for (size_t i = 0; i < a.colonne.size(); ++i)
            a.colonne[i].aggiungiDaSql(c, int(i) + 1);
    }
}

namespace {
// Binds a row's values from parameter `primo` on. New rows and edited ones
// go through here alike, texts through the statement's one UTF-8 encoder.
void legaValori(Comando& c, const QList<DefCampo>& campi, const std::vector<ValoreCampo>& valori, int primo)
{
    for (int i = 0; i < campi.size(); ++i) {
        const ValoreCampo& v = valori[size_t(i)];
        const int p = primo + i;
        if (v.nullo) {
            c.legaNull(p);
        } else if (campi[i].testuale()) {
            c.legaTesto(p, v.testo);
        } else if (campi[i].tipo == TipoCampo::Data) {
            std::string iso;
            Conversione::dataIso(v.numero, iso);
            c.legaTesto(p, QString::fromLatin1(iso.data(), qsizetype(iso.size())));
        } else {
            c.lega(p, v.numero);
        }
    }
}
}  // namespace

void Tabella::scrivi(const std::vector<ValoreCampo>& buffer, qint64 riga)
{
    verifica();
    Connessione& cn = db_.connessione();
    // the statements are prepared once, on first use
    auto colonne = [this] {
        QStringList n;
        for (const DefCampo& c : def_->campi)
            n << c.nome;
        return n;
    };
    // statements of a connection closed since are prepared again
    if (inserimento_ && !inserimento_->valido())
        inserimento_.reset();
    if (aggiornamento_ && !aggiornamento_->valido())
        aggiornamento_.reset();
    if (riga < 0) {
        if (!inserimento_) {
            const QStringList segnaposto(def_->campi.size(), QStringLiteral("?"));
            inserimento_ = std::make_unique<Comando>(cn.prepara(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(def_->nome, colonne().join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", ")))));
        }
        if (accumula_ && !caricato()) {
            if (!accumulo_)
                accumulo_ = cn.scritturaMassiva(*def_);
            try {
                accumulo_->aggiungi(buffer);
            } catch (const Errore& e) {
                accumulo_->scarta();
                throw ScritturaNonRiuscita(e.testo());
            }
            return;
        }
        scriviAccumulate();
        legaValori(*inserimento_, def_->campi, buffer, 1);
        inserimento_->esegui();
        if (caricato())
            rowid_.push_back(cn.ultimoRowid());
        return;
    }
    scriviAccumulate();
    if (!aggiornamento_)
        aggiornamento_ = std::make_unique<Comando>(cn.prepara(
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(def_->nome, colonne().join(QStringLiteral(" = ?, ")))));
    legaValori(*aggiornamento_, def_->campi, buffer, 1);
    aggiornamento_->lega(int(def_->campi.size()) + 1, rowid_.at(size_t(riga)));
    aggiornamento_->esegui();
}
