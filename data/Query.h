#pragma once
// A query: an SQL text held as lines, opened for its rows or executed as a
// command, with named parameters (":Nome"). Each result column is typed from
// the column of the table it comes from; computed columns from their values.

#include "DataSet.h"

#include <QMap>

class Collegamento;

class Query : public DataSet {
    Q_OBJECT
public:
    Query(Collegamento& db, const QString& nome, QObject* parent = nullptr);

    QStringList sql;  // one entry per line
    QMap<QString, QVariant> parametri;  // by name, without the colon

    // Runs the text as a command; returns the rows it changed.
    int eseguiSql();
    // The statement sent to the database: a line break after each line.
    QString testoSql() const;

protected:
    void carica(Archivio& a) override;
    void scrivi(const QList<QVariant>& buffer, qint64 riga) override;

private:
    Comando prepara();

    Collegamento& db_;
};
