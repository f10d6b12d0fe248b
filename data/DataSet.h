#pragma once
// A client-side data set: the rows of a table or of a query held in memory,
// with typed fields, a row filter, a current row, Locate, and
// append/edit/post/cancel with the column conversions. Windows bind to it
// through one table model; operations read and write through it.

#include "Archivio.h"
#include "Campo.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <exception>
#include <functional>
#include <map>
#include <memory>

class DataSet;

// One row seen by a calculated field: a stored row, or the row being edited.
class RigaDati {
public:
    RigaDati(const DataSet& ds, int riga) : ds_(ds), riga_(riga) {}
    QVariant valore(QStringView campo) const;

private:
    const DataSet& ds_;
    int riga_;  // visible row; -1 for the edit buffer
};

struct OpzioniLocate {
    bool ignoraMaiuscole = false;
    bool chiaveParziale = false;
};

class DataSet : public QObject {
    Q_OBJECT
public:
    enum class Stato { Chiuso, Consultazione, Modifica, Inserimento };

    explicit DataSet(const QString& nome, QObject* parent = nullptr);
    ~DataSet() override;

    const QString& nome() const { return nome_; }

    // Fields: the stored ones first, then calculated and looked-up ones.
    const QList<DefCampo>& campi() const { return campi_; }
    int indiceCampo(QStringView nome) const;  // -1 when absent
    int campo(QStringView nome) const;        // raises Errore when absent
    void aggiungiCampoCalcolato(const DefCampo& c, std::function<QVariant(const RigaDati&)> calcola);
    // A looked-up field: the `risultato` of the first row of `sorgente` whose
    // `chiaveSorgente` equals this row's `chiave`, as display text.
    void aggiungiCampoLookup(const DefCampo& c, const QString& chiave, DataSet* sorgente,
                             const QString& chiaveSorgente, const QString& risultato);

    // Runs just before every opening, before any row is read (a window sets
    // its filter or parameters here).
    std::function<void(DataSet&)> primaDellApertura;
    // Runs when a new row is begun, before any of its fields is set.
    std::function<void(DataSet&)> nuovoRecord;
    // Runs once a new row has been stored.
    std::function<void(DataSet&)> dopoInserimento;

    void apri();
    void chiudi();
    bool aperto() const { return stato_ != Stato::Chiuso; }
    Stato stato() const { return stato_; }

    // The row filter: "Campo = 'text'" or "Campo = number", applied when
    // `filtrato` is on.
    void impostaFiltro(const QString& filtro);
    void impostaFiltrato(bool attivo);
    const QString& filtro() const { return filtro_; }
    bool filtrato() const { return filtrato_; }

    // Rows shown (through the filter) and the current one (-1 when none).
    int righe() const;
    int rigaCorrente() const { return corrente_; }
    bool vuoto() const { return righe() == 0; }
    void primo();
    void ultimo();
    void prossimo();
    void precedente();
    void vaiA(int riga);

    QVariant valore(int campo) const;  // current row, or the row being edited
    QVariant valore(QStringView campo) const { return valore(this->campo(campo)); }
    QVariant valoreRiga(int riga, int campo) const;
    QString testo(QStringView campo) const;          // display text of the current row
    QString testoRiga(int riga, int campo) const;     // display text
    qint64 intero(QStringView campo) const;           // null reads as 0
    bool nullo(QStringView campo) const { return valore(campo).isNull(); }

    // Finds the first row, in ascending order of the key fields (separated by
    // ";"), that matches `valori`; moves there and returns true. Fails
    // silently, leaving the cursor, when nothing matches, a field is unknown
    // or a value cannot be compared with its field; rows that cannot be read
    // raise their error.
    bool Locate(const QString& campi, const QVariantList& valori, OpzioniLocate opzioni = {});
    // The same search without moving: the row, or -1.
    int trova(const QString& campi, const QVariantList& valori, OpzioniLocate opzioni = {}) const;

    void aggiungi();  // begins a new row (append)
    void modifica();  // begins editing the current row
    void impostaTesto(QStringView campo, QStringView testo);  // converted as for an import
    void impostaValore(QStringView campo, const QVariant& valore);
    // The same by field index, for the import's hot loop: the text is
    // converted straight into the row being built, no QVariant in between.
    void impostaTesto(int campo, QStringView testo);
    void impostaValore(int campo, const QVariant& valore);
    void impostaIntero(int campo, qint64 valore);  // range-checked
    void registra();  // post
    void annulla();   // cancel

    // True while a SeguitoSospeso lives: bound views do not follow the cursor.
    bool seguitoSospeso() const { return sospensioni_ > 0; }

Q_SIGNALS:
    void rigaCambiata();  // the current row moved, or its values changed
    void datiCambiati();  // rows opened, closed, filtered or added
    // The last SeguitoSospeso ended: views catch up once with the rows and the cursor.
    void seguitoRipreso();

protected:
    // Loads every row into `a` (fields already set by definisciCampi or by the loader).
    virtual void carica(Archivio& a) = 0;
    // Writes the edit buffer (one value per stored field): a new row when
    // `riga` < 0, else stored row `riga`.
    virtual void scrivi(const std::vector<ValoreCampo>& buffer, qint64 riga) = 0;
    // Tables load on first use; queries when they open.
    virtual bool caricaPigro() const { return false; }
    // Checks that the data set can open (a table against the database).
    virtual void primaDiAprire() {}
    void definisciCampi(const QList<DefCampo>& memorizzati);
    void cambiaTipoCampo(int campo, TipoCampo tipo, int larghezza);
    const Archivio& archivio() const { return archivio_; }
    void invalida();  // rows must be reloaded on next use
    bool caricato() const { return caricato_; }

    struct Filtro {
        QString nomeCampo;
        int campo = -1;  // resolved when the rows load: a query knows its fields only then
        QVariant valore;
    };
    const Filtro& filtroAnalizzato() const { return filtroAn_; }

private:
    friend class SeguitoSospeso;
    struct CampoDerivato;
    struct Indice;

    void assicuraCaricato() const;
    void ricalcolaVisibili() const;
    bool visibile(size_t r) const;
    size_t fisica(int riga) const { return visibili_ ? (*visibili_)[size_t(riga)] : size_t(riga); }
    QVariant valoreFisico(size_t r, int campo) const;
    QVariant valoreDerivato(int campo, const RigaDati& riga) const;
    const Indice* indice(const QStringList& campi, bool ignoraMaiuscole) const;
    void azzeraIndici() const;
    void cambiaCorrente(int riga);
    void richiedeModifica(const char* operazione) const;
    int campoModificabile(int campo);  // begins editing when needed; raises for a derived field
    void svuotaBuffer();

    QString nome_;
    QList<DefCampo> memorizzati_;
    QList<DefCampo> campi_;
    std::vector<std::unique_ptr<CampoDerivato>> derivati_;
    Stato stato_ = Stato::Chiuso;
    QString filtro_;
    Filtro filtroAn_;
    bool filtrato_ = false;

    mutable Archivio archivio_;
    mutable bool caricato_ = false;
    mutable std::exception_ptr guasto_;  // the failure of the last load, raised again by every read
    mutable std::unique_ptr<std::vector<uint32_t>> visibili_;  // null: every row is visible
    mutable int corrente_ = -1;
    // the row being built or edited; its texts keep their storage from row to row
    std::vector<ValoreCampo> buffer_;
    int rigaInModifica_ = -1;
    mutable std::map<QString, std::unique_ptr<Indice>> indici_;
    int sospensioni_ = 0;
};

// Quiet cursor moves: while one lives, the views bound to the data set (grids)
// do not follow its cursor or its rows, so a long walk or a million Locates
// repaint nothing; links to detail data sets and calculated fields still
// follow. When the last one ends the views catch up once, on the row the data
// set then stands on. Nests.
class SeguitoSospeso {
public:
    explicit SeguitoSospeso(DataSet& ds);
    ~SeguitoSospeso();
    SeguitoSospeso(const SeguitoSospeso&) = delete;
    SeguitoSospeso& operator=(const SeguitoSospeso&) = delete;

private:
    QPointer<DataSet> ds_;
};
