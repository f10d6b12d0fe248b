#include "Tabella.h"

#include "Collegamento.h"
#include "Errore.h"
#include "Schema.h"

Tabella::Tabella(Collegamento& db, const QString& nome, QObject* parent)
    : DataSet(nome, parent), db_(db), def_(Schema::tabella(nome))
{
    if (!def_)
        throw Errore(QStringLiteral("Tabella %1 sconosciuta").arg(nome));
    definisciCampi(def_->campi);
}

Tabella::~Tabella() = default;

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
            // YYYY-MM-DD, as the database keeps dates
            int a = 0, m = 0, g = 0;
            QDate::fromJulianDay(v.numero).getDate(&a, &m, &g);
            if (a < 0 || a > 9999) {
                c.legaTesto(p, QDate::fromJulianDay(v.numero).toString(Qt::ISODate));
                continue;
            }
            const char16_t t[10] = {char16_t(u'0' + a / 1000), char16_t(u'0' + a / 100 % 10), char16_t(u'0' + a / 10 % 10),
                                    char16_t(u'0' + a % 10), u'-', char16_t(u'0' + m / 10), char16_t(u'0' + m % 10), u'-',
                                    char16_t(u'0' + g / 10), char16_t(u'0' + g % 10)};
            c.legaTesto(p, QStringView(t, 10));
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
    QStringList colonne;
    if (!inserimento_ || !aggiornamento_)
        for (const DefCampo& c : def_->campi)
            colonne << c.nome;
    if (riga < 0) {
        if (!inserimento_) {
            const QStringList segnaposto(colonne.size(), QStringLiteral("?"));
            inserimento_ = std::make_unique<Comando>(cn.prepara(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(def_->nome, colonne.join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", ")))));
        }
        legaValori(*inserimento_, def_->campi, buffer, 1);
        inserimento_->esegui();
        if (caricato())
            rowid_.push_back(cn.ultimoRowid());
        return;
    }
    if (!aggiornamento_)
        aggiornamento_ = std::make_unique<Comando>(cn.prepara(
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(def_->nome, colonne.join(QStringLiteral(" = ?, ")))));
    legaValori(*aggiornamento_, def_->campi, buffer, 1);
    aggiornamento_->lega(int(def_->campi.size()) + 1, rowid_.at(size_t(riga)));
    aggiornamento_->esegui();
}
