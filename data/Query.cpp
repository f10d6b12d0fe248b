#include "Query.h"

#include "Collegamento.h"
#include "Errore.h"
#include "Schema.h"

Query::Query(Collegamento& db, const QString& nome, QObject* parent) : DataSet(nome, parent), db_(db) {}

QString Query::testoSql() const
{
    QString s;
    for (const QString& riga : sql)
        s += riga + QLatin1Char('\n');
    return s;
}

Comando Query::prepara()
{
    Comando c = db_.connessione().prepara(testoSql());
    for (int i = 1; i <= c.numeroParametri(); ++i) {
        const QString nome = c.nomeParametro(i).mid(1);
        const auto it = parametri.constFind(nome);
        if (it == parametri.constEnd())
            throw Errore(QStringLiteral("%1: manca il valore del parametro %2").arg(this->nome(), nome));
        c.lega(i, *it);
    }
    return c;
}

int Query::eseguiSql()
{
    Comando c = prepara();
    c.esegui();
    return db_.connessione().righeModificate();
}

void Query::carica(Archivio& a)
{
    Comando c = prepara();
    bool riga = c.passo();

    // Field types: the origin column's definition, else what the first value is.
    QList<DefCampo> campi;
    std::vector<bool> daDedurre;
    for (int i = 0; i < c.colonne(); ++i) {
        DefCampo d{c.nomeColonna(i), TipoCampo::Intero32, 0};
        bool dedurre = true;
        if (const DefTabella* t = Schema::tabella(c.tabellaOrigine(i))) {
            const int k = t->indice(c.colonnaOrigine(i));
            if (k >= 0) {
                d.tipo = t->campi[k].tipo;
                d.larghezza = t->campi[k].larghezza;
                dedurre = false;
            }
        }
        if (dedurre && riga && c.tipo(i) == Comando::Tipo::Testo) {
            d.tipo = TipoCampo::Testo;
            d.larghezza = 255;
        }
        campi.append(d);
        daDedurre.push_back(dedurre);
    }
    definisciCampi(campi);
    for (; riga; riga = c.passo()) {
        for (size_t i = 0; i < a.colonne.size(); ++i) {
            ColonnaValori& col = a.colonne[i];
            // a computed column whose values were all null so far takes the type of its first value
            if (daDedurre[i] && col.tuttiNulli() && c.tipo(int(i)) == Comando::Tipo::Testo &&
                col.tipo() != TipoCampo::Testo) {
                cambiaTipoCampo(int(i), TipoCampo::Testo, 255);
            }
            col.aggiungiDaSql(c, int(i));
        }
    }
}

void Query::scrivi(const QList<QVariant>&, qint64)
{
    throw Errore(QStringLiteral("%1: i dati della query sono di sola lettura").arg(nome()));
}
