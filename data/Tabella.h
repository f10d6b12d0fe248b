#pragma once
// A table object: every row of one table with the columns of its definition,
// checked against the database when it opens. Rows are read on first use, so
// opening the large supply tables at start-up costs nothing; a row filter on a
// stored field is handed to the database.

#include "DataSet.h"
#include "Errore.h"

class Collegamento;
class Comando;
class ScritturaMassiva;
struct DefTabella;

class Tabella : public DataSet {
    Q_OBJECT
public:
    Tabella(Collegamento& db, const QString& nome, QObject* parent = nullptr);
    ~Tabella() override;

    // Gathering new rows, for a bulk load: while it is on, a new row of a
    // table whose rows are not loaded is kept and written with others, many
    // rows at a time (a statement of several rows on the embedded engine, a
    // COPY on the server: the cost is mostly per statement). Whatever
    // reads or edits the table writes the kept rows first. A database error
    // of a kept row is therefore raised when its group is written, by a later
    // row or by scriviAccumulate(), as ScritturaNonRiuscita: the group's rows
    // are lost with it, so the load cannot go on.
    class ScritturaNonRiuscita : public Errore {
    public:
        using Errore::Errore;
    };
    void accumula(bool attivo);
    void scriviAccumulate();
    // Drops the kept rows unwritten: after a failed load, before its rollback
    // is followed by anything that could write them.
    void scartaAccumulate();

protected:
    void carica(Archivio& a) override;
    void scrivi(const std::vector<ValoreCampo>& buffer, qint64 riga) override;
    bool caricaPigro() const override { return true; }
    void primaDiAprire() override { verifica(); }

private:
    void verifica();

    Collegamento& db_;
    const DefTabella* def_;
    bool verificata_ = false;
    std::vector<qint64> rowid_;
    std::unique_ptr<Comando> inserimento_, aggiornamento_;
    bool accumula_ = false;
    std::unique_ptr<ScritturaMassiva> accumulo_;
};
