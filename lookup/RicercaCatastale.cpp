#include "RicercaCatastale.h"

#include "dmTabelle.h"

RicercaCatastale::RicercaCatastale(TdTabelle& dati, QObject* parent)
    : QObject(parent),
      ADOQuery1(dati.ADOConnection1, QStringLiteral("ADOQuery1")),
      ADOQuery2(dati.ADOConnection1, QStringLiteral("ADOQuery2")),
      ADOQuery3(dati.ADOConnection1, QStringLiteral("ADOQuery3")),
      dati_(dati)
{
    ADOQuery3.sql = {
        QStringLiteral("SELECT DISTINCT tUnImm5_6.Codice, tUnImm5_6.Soggetto, tUnImm5_6.Denominazione, tUnImm5_6.NData, "
                       "tComuni.Nome AS NComune, tUnImm5_6.CodFisc"),
        QStringLiteral("FROM tUnImm5_6"),
        QStringLiteral("LEFT JOIN tComuni ON tUnImm5_6.NLuogo = tComuni.CodiceCat"),
        QStringLiteral("WHERE tUnImm5_6.Immobile = :Immobile"),
        QStringLiteral("ORDER BY tUnImm5_6.Denominazione"),
    };
    // Whatever the three lists show belongs to the managing municipality,
    // read afresh at every opening.
    for (Query* q : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        q->primaDellApertura = [this](DataSet& ds) {
            ds.impostaFiltro(dati_.filtroGestione());
            ds.impostaFiltrato(true);
        };
    }
    // The category grid shows the outcome of the surface calculation as text,
    // as the dossier's unit grid does.
    ADOQuery2.aggiungiCampoCalcolato({QStringLiteral("Esito"), TipoCampo::Testo, 50}, [](const RigaDati& r) {
        return QVariant(TdTabelle::tUnImm1CalcFields(r.valore(u"EsitoSup")));
    });
    for (Query* q : {&ADOQuery1, &ADOQuery2}) {
        connect(q, &DataSet::rigaCambiata, this, [this, q] {
            if (q->aperto() && !q->vuoto() && q->rigaCorrente() >= 0)
                ImmobileCorrente = q->intero(u"Immobile");
        });
    }
}

QString RicercaCatastale::condizione(const Identificativo& id)
{
    QString riga;
    auto aggiungi = [&riga](const char* colonna, const QString& valore) {
        if (valore.isEmpty())
            return;
        riga += riga.isEmpty() ? QStringLiteral("WHERE ") : QStringLiteral(" AND ");
        riga += QLatin1String(colonna) + QStringLiteral(" = ") + LetteraleSql(valore);
    };
    aggiungi("SezUrbana", id.sezione);
    aggiungi("Foglio", id.foglio);
    aggiungi("Numero", id.numero);
    aggiungi("Subalterno", id.subalterno);
    return riga;
}

QStringList RicercaCatastale::sqlTotale(const QString& codice, const QString& categoria)
{
    QStringList s{QStringLiteral("SELECT SUM(Superficie) AS Somma"), QStringLiteral("FROM tUnImm1"),
                  QStringLiteral("WHERE Codice = ") + LetteraleSql(codice)};
    if (!categoria.isEmpty())
        s.append(QStringLiteral("AND Categoria = ") + LetteraleSql(categoria));
    return s;
}

void RicercaCatastale::seguiUnita(DataSet& risultati)
{
    // The owners follow the list just searched; the other one is closed.
    ADOQuery3.seguiMaster(risultati, QStringLiteral("Immobile"));
}

int RicercaCatastale::cercaIdentificativo(const Identificativo& id)
{
    ADOQuery2.chiudi();
    ADOQuery1.chiudi();
    ADOQuery1.sql = {QStringLiteral("SELECT *"), QStringLiteral("FROM tUnImm2"), condizione(id)};
    seguiUnita(ADOQuery1);
    ADOQuery1.apri();
    return ADOQuery1.righe();
}

RicercaCatastale::Categoria RicercaCatastale::cercaCategoria(const QString& categoria)
{
    ADOQuery1.chiudi();
    ADOQuery2.chiudi();
    ADOQuery2.sql = {QStringLiteral("SELECT *"), QStringLiteral("FROM tUnImm1")};
    if (!categoria.isEmpty())
        ADOQuery2.sql.append(QStringLiteral("WHERE Categoria = ") + LetteraleSql(categoria));
    seguiUnita(ADOQuery2);
    ADOQuery2.apri();
    Categoria esito;
    esito.quantita = ADOQuery2.righe();

    Query& q = dati_.qGeneric;
    q.chiudi();
    q.sql = sqlTotale(dati_.codiceGestione(), categoria);
    q.apri();
    esito.superficie = q.testo(u"Somma");
    q.chiudi();
    return esito;
}

void RicercaCatastale::chiudi()
{
    ADOQuery1.chiudi();
    ADOQuery2.chiudi();
    ADOQuery3.chiudi();
}
