#include "CaricaRuolo.h"

#include "ConfrontoSuperfici.h"
#include "Connessione.h"
#include "FileTesto.h"
#include "Query.h"
#include "RigaRuolo.h"
#include "dmTabelle.h"

#include <optional>

namespace {

// However the run ends: the row being filled is dropped, the bar goes, the
// owner list returns to its first row and only then do its views follow it
// again; tRsuTot is reopened, so that nothing read before the run survives it.
struct FineCaricamento {
    TdTabelle& d;
    Query& elenco;
    Avanzamento* avanzamento;
    std::optional<SeguitoSospeso> quieto;

    ~FineCaricamento()
    {
        d.tRsuTot.annulla();
        d.tRsuTot.scartaAccumulate();  // what a failed run still held
        d.tRsuTot.accumula(false);
        if (avanzamento)
            avanzamento->fine();
        try {
            elenco.primo();
        } catch (...) {
        }
        quieto.reset();
        try {
            d.tRsuTot.chiudi();
            d.tRsuTot.apri();
        } catch (...) {
        }
    }
};

// The columns of tRsuTot, resolved once.
struct Colonne {
    int codice, cognome, nome, nData, codFisc, superficie, ruolo, differenza, dichiarabile, accertabile, presente,
        indirizzo, citta;
    explicit Colonne(const DataSet& t)
        : codice(t.campo(u"Codice")), cognome(t.campo(u"Cognome")), nome(t.campo(u"Nome")), nData(t.campo(u"NData")),
          codFisc(t.campo(u"CodFisc")), superficie(t.campo(u"Superficie")), ruolo(t.campo(u"Ruolo")),
          differenza(t.campo(u"Differenza")), dichiarabile(t.campo(u"Dichiarabile")),
          accertabile(t.campo(u"Accertabile")), presente(t.campo(u"Presente")), indirizzo(t.campo(u"Indirizzo")),
          citta(t.campo(u"Citta"))
    {
    }
};

}  // namespace

bool CercaContribuente(Query& elenco, const QString& nome, const QVariant& nascita, const QString& codFisc)
{
    // Locate reports any error of its own as "not found".
    const OpzioniLocate opz{.ignoraMaiuscole = true, .chiaveParziale = true};
    return elenco.Locate(QStringLiteral("Denominazione;NData"), {nome, nascita}, opz) ||
           elenco.Locate(QStringLiteral("CodFisc"), {codFisc}, opz);
}

RisultatoRuolo CaricaRuolo(TdTabelle& d, Query& elenco, const QString& file, Avanzamento* avanzamento)
{
    // The file first: one that cannot be opened leaves the previous load.
    LettoreTesto testo(file);

    // Counting pass, for the progress bar. The test follows the read, so an
    // empty file counts one (empty) line and a final line break adds none.
    RisultatoRuolo r;
    QByteArray grezza;
    do {
        testo.leggiRigaByte(grezza);
        ++r.righe;
    } while (!testo.fine());

    Tabella& t = d.tRsuTot;
    const Colonne col(t);
    const QString codice = d.codiceGestione();
    const int soggetto = elenco.aperto() ? elenco.indiceCampo(u"Soggetto") : -1;

    // Reopened without reading: the rows appended below are not kept in
    // memory, and go to the database many at a time (Tabella::accumula).
    t.chiudi();
    t.apri();
    FineCaricamento fine{d, elenco, avanzamento, std::nullopt};
    Transazione tr(d.connessione());
    d.qGeneric.chiudi();
    d.qGeneric.sql = {QStringLiteral("DELETE FROM tRsuTot")};
    d.qGeneric.eseguiSql();
    t.accumula(true);

    if (avanzamento)
        avanzamento->inizio(r.righe);
    testo.riavvolgi();
    // the searches move the owner list a million times: its grid must not follow
    fine.quieto.emplace(elenco);

    qint64 n = 0;
    do {
        testo.leggiRigaByte(grezza);
        ++n;
        if (avanzamento)
            avanzamento->passo();
        try {
            const RigaRuolo riga = RigaRuolo::analizza(Cp1252::decodifica(grezza));
            t.aggiungi();
            t.impostaTesto(col.codice, riga.codice);
            t.impostaTesto(col.cognome, riga.cognome);
            t.impostaTesto(col.nome, riga.nome);
            t.impostaTesto(col.nData, riga.nData);
            t.impostaTesto(col.codFisc, riga.codFisc);
            t.impostaTesto(col.ruolo, riga.ruolo);
            t.impostaTesto(col.presente, QStringLiteral("*"));
            if (soggetto >= 0 && CercaContribuente(elenco, riga.nomeRicerca(), t.valore(col.nData), riga.codFisc)) {
                const QVariant ruolo = t.valore(col.ruolo);
                const Confronto c = ConfrontoSuperfici(d, codice, elenco.valore(soggetto).toLongLong(),
                                                       ruolo.isNull() ? 0 : qint32(ruolo.toLongLong()));
                t.impostaTesto(col.superficie, c.totaleTesto);
                t.impostaValore(col.differenza, c.differenza);
                t.impostaValore(col.dichiarabile, c.dichiarabile);
                t.impostaValore(col.accertabile, c.accertabile);
                t.impostaTesto(col.presente, QString());
                ++r.trovati;
            }
            t.impostaTesto(col.indirizzo, riga.indirizzo);
            t.impostaTesto(col.citta, riga.citta);
            t.registra();
        } catch (...) {
            throw ErroreRiga(n);
        }
    } while (!testo.fine());
    try {
        t.scriviAccumulate();  // the rows still gathered
        tr.conferma();
    } catch (...) {
        // the transaction is still open: its rollback leaves the previous load
        throw Errore(QStringLiteral("Riga %1, salvataggio finale del ruolo non riuscito, il caricamento precedente è "
                                    "rimasto com'era: %2")
                         .arg(r.righe)
                         .arg(TestoEccezioneCorrente()));
    }
    r.avvisoRegistro = d.connessione().consolidaRegistro();
    return r;
}
