#pragma once
// A query: an SQL text held as lines, opened for its rows or executed as a
// command, with named parameters (":Nome"). Each result column is typed from
// the column of the table it comes from; computed columns from their values.

#include "DataSet.h"

#include <QMap>
#include <memory>

class Collegamento;
class Comando;
class Connessione;

class Query : public DataSet {
    Q_OBJECT
public:
    Query(Collegamento& db, const QString& nome, QObject* parent = nullptr);
    ~Query() override;

    QStringList sql;  // one entry per line
    QMap<QString, QVariant> parametri;  // by name, without the colon

    // Master/detail link: this query follows `master`. Whenever the master's
    // current row changes (it opens, moves or closes), this query is closed
    // and, when the master stands on a row, reopened with the master's values
    // of `campi` (field names separated by ";") as its parameters named in
    // `parametri` (same order; by default the same names). An empty or closed
    // master leaves it closed.
    void seguiMaster(DataSet& master, const QString& campi, const QString& parametri = {});
    void lasciaMaster();
    DataSet* master() const { return master_; }

    // Runs the text as a command; returns the rows it changed.
    int eseguiSql();
    // The statement sent to the database: a line break after each line.
    QString testoSql() const;

protected:
    void carica(Archivio& a) override;
    void scrivi(const std::vector<ValoreCampo>& buffer, qint64 riga) override;

private:
    // The statement for the current text with the parameters bound: prepared
    // once and reused while the text stays the same (a query reopened with new
    // parameter values, as a roll load does once per taxpayer, costs no parsing).
    Comando& prepara();
    void seguiRigaMaster();

    Collegamento& db_;
    std::unique_ptr<Comando> comando_;
    QString testoPreparato_;
    const Connessione* connessionePreparata_ = nullptr;
    QPointer<DataSet> master_;
    QStringList campiMaster_, parametriMaster_;
    QMetaObject::Connection legame_;
};
