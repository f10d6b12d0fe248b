#pragma once
// The data module: the one database connection, a table object for each of
// the nine tables, the general-purpose query qGeneric, the restriction of the
// supply tables to the managing municipality, the numbering of the repeated
// rows of a unit, and the values that windows and operations hand each other.

#include "Collegamento.h"
#include "Query.h"
#include "Tabella.h"

#include <QObject>
#include <memory>

class Numeratore;

class TdTabelle : public QObject {
    Q_OBJECT
public:
    explicit TdTabelle(QObject* parent = nullptr);
    ~TdTabelle() override;

    // Reads sorvel.ini (writing the default one when there is none),
    // connects, opens every table and restricts the supply tables. Raises
    // Errore at the step that fails; the steps before it stay done.
    void DataModuleCreate();
    // Steps 1 to 3 of the above: sets Cartella and StringaConnessione from
    // the first line of sorvel.ini, writing the default file when there is
    // none. An existing file that cannot be read is an error naming it and
    // the reason, and is left as it is.
    void leggiConfigurazione();

    // The managing municipality's cadastral code, read afresh from tParametri.
    QString codiceGestione() const;
    // "Codice = '<managing municipality>'", the filter of every supply view.
    QString filtroGestione() const;
    // Closes, re-filters on the managing municipality and reopens the six
    // supply tables.
    void applicaFiltroGestione();

    // The number the next row of this unit receives in `tabella`.
    int ProssimoProgrRec(const QString& tabella, const QString& codice, const QString& sezione,
                         const QString& immobile, const QString& progressivo);
    // Deletes the managing municipality's rows from the six supply tables.
    void AzzeraArchivi();
    // Field n (from 1) of a supply line, or "$" when the line has no field n.
    static QString EstraiCampo(QStringView riga, int n);
    // The text of a surface outcome code.
    static QString tUnImm1CalcFields(const QVariant& esitoSup);
    void TableNewRecord(DataSet& tabella);

    // The bulk load of an import, in three steps. iniziaCaricamento: the
    // numbers of repeated rows come from a Numeratore, seeded from the rows
    // already stored, instead of one MAX query per row (the same numbers at a
    // fraction of the cost; `righe`, the lines of the file, sizes its
    // memory), and the six supply tables gather their new rows to write them
    // many to a statement (Tabella::accumula). completaCaricamento writes
    // what they still hold; terminaCaricamento, however the load ended, drops
    // what is left unwritten and ends the numbering.
    void iniziaCaricamento(qint64 righe);
    void completaCaricamento();
    void terminaCaricamento();

    Connessione& connessione() { return ADOConnection1.connessione(); }

    Collegamento ADOConnection1;
    Tabella tUnImm1;
    Tabella tUnImm2;
    Tabella tUnImm4;
    Tabella tUnImm3;
    Tabella tUnImm5_6;
    Tabella tUnImm9;
    Query qGeneric;
    Tabella tComuni;
    Tabella tParametri;
    Tabella tRsuTot;

    qint32 SuperficieRuolo = 0;
    // The hand-off mode: the first command-line argument, upper-cased, is "S".
    bool ModalitaS = false;
    QString Cartella;
    QString StringaConnessione;
    QString CodiceRiga, SezioneRiga, ImmobileRiga, ProgressivoRiga;

    static const QString iniPredefinito;

private:
    // The six supply tables, whose names begin with "tUnImm", carry tag 1.
    static bool tabellaFornitura(const DataSet& ds) { return ds.nome().startsWith(QLatin1String("tUnImm")); }
    QList<DataSet*> oggetti_;
    std::unique_ptr<Numeratore> numeratore_;
};
