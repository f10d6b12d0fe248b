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

void Tabella::scrivi(const QList<QVariant>& buffer, qint64 riga)
{
    verifica();
    Connessione& cn = db_.connessione();
    if (riga < 0) {
        if (!inserimento_) {
            QStringList colonne, segnaposto;
            for (const DefCampo& c : def_->campi) {
                colonne << c.nome;
                segnaposto << QStringLiteral("?");
            }
            inserimento_ = std::make_unique<Comando>(cn.prepara(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(def_->nome, colonne.join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", ")))));
        }
        inserimento_->legaRiga(buffer);
        inserimento_->esegui();
        if (caricato())
            rowid_.push_back(cn.ultimoRowid());
        return;
    }
    QStringList assegna;
    for (const DefCampo& c : def_->campi)
        assegna << c.nome + QStringLiteral(" = ?");
    Comando up = cn.prepara(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(def_->nome, assegna.join(QStringLiteral(", "))));
    for (int i = 0; i < buffer.size(); ++i)
        up.lega(i + 1, buffer[i]);
    up.lega(int(buffer.size()) + 1, rowid_.at(size_t(riga)));
    up.esegui();
}
