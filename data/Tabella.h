#pragma once
// A table object: every row of one table with the columns of its definition,
// checked against the database when it opens. Rows are read on first use, so
// opening the large supply tables at start-up costs nothing; a row filter on a
// stored field is handed to the database.

#include "DataSet.h"

class Collegamento;
class Comando;
struct DefTabella;

class Tabella : public DataSet {
    Q_OBJECT
public:
    Tabella(Collegamento& db, const QString& nome, QObject* parent = nullptr);
    ~Tabella() override;

    const DefTabella& definizione() const { return *def_; }

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
};
