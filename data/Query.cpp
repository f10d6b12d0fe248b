#include "Query.h"

#include "Collegamento.h"
#include "Errore.h"
#include "Schema.h"

Query::Query(Collegamento& db, const QString& nome, QObject* parent) : DataSet(nome, parent), db_(db) {}
Query::~Query() = default;

QString Query::testoSql() const
{
    QString s;
    for (const QString& riga : sql)
        s += riga + QLatin1Char('\n');
    return s;
}

Comando& Query::prepara()
{
    Connessione& cn = db_.connessione();
    const QString testo = testoSql();
    if (!comando_ || !comando_->valido() || testo != testoPreparato_ || &cn != connessionePreparata_) {
        comando_.reset();
        comando_ = std::make_unique<Comando>(cn.prepara(testo));
        testoPreparato_ = testo;
        connessionePreparata_ = &cn;
    }
    Comando& c = *comando_;
    c.azzera();
    for (int i = 1; i <= c.numeroParametri(); ++i) {
        const QString nome = c.nomeParametro(i).mid(1);
        const auto it = parametri.constFind(nome);
        if (it == parametri.constEnd())
            throw Errore(QStringLiteral("%1: manca il valore del parametro %2").arg(this->nome(), nome));
        c.lega(i, *it);
    }
    return c;
}

void Query::seguiMaster(DataSet& master, const QString& campi, const QString& nomiParametri)
{
    lasciaMaster();
    campiMaster_ = campi.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& c : campiMaster_)
        c = c.trimmed();
    parametriMaster_ = nomiParametri.isEmpty() ? campiMaster_ : nomiParametri.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : parametriMaster_)
        p = p.trimmed();
    if (campiMaster_.isEmpty() || parametriMaster_.size() != campiMaster_.size())
        throw Errore(QStringLiteral("%1: legame con %2 non valido").arg(nome(), master.nome()));
    master_ = &master;
    legame_ = connect(&master, &DataSet::rigaCambiata, this, &Query::seguiRigaMaster);
    seguiRigaMaster();
}

void Query::lasciaMaster()
{
    if (legame_)
        disconnect(legame_);
    legame_ = {};
    master_ = nullptr;
}

void Query::seguiRigaMaster()
{
    chiudi();
    if (!master_ || !master_->aperto() || master_->vuoto() || master_->rigaCorrente() < 0)
        return;
    for (qsizetype i = 0; i < campiMaster_.size(); ++i)
        parametri[parametriMaster_[i]] = master_->valore(campiMaster_[i]);
    apri();
}

int Query::eseguiSql()
{
    Comando& c = prepara();
    c.esegui();
    return db_.connessione().righeModificate();
}

void Query::carica(Archivio& a)
{
    Comando& c = prepara();
    // reset however the load ends: a statement left mid-way would hold its read lock
    struct Azzera {
        Comando& c;
        ~Azzera() { c.azzera(); }
    } azzera{c};
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

void Query::scrivi(const std::vector<ValoreCampo>&, qint64)
{
    throw Errore(QStringLiteral("%1: i dati della query sono di sola lettura").arg(nome()));
}
