#pragma once
// The numbering of the repeated rows of a unit during an import: the same
// ProgrRec that one MAX query per row would give, at a fraction of the cost.
//
// Rows of a unit usually follow each other, so each table remembers the last
// unit it numbered and its last number. For another unit, a filter of the
// managing municipality's units numbered in this run tells whether any row
// of it can be stored yet (the run deleted all the others); only when it may
// be, or for another municipality's unit, one indexed MAX query, prepared
// once, asks the database. Memory stays the same however large the file.

#include <QList>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

class Connessione;
class DataSet;
class Tabella;

class Numeratore {
public:
    // `tabelle`: the tables whose rows are numbered; `righe`, the lines of
    // the file, sizes the filter.
    Numeratore(Connessione& db, const QString& codiceGestione, const QList<Tabella*>& tabelle, qint64 righe);
    ~Numeratore();
    Numeratore(const Numeratore&) = delete;
    Numeratore& operator=(const Numeratore&) = delete;

    // Sets ProgrRec of the row just begun in `tabella` to the number the next
    // row of this unit receives there. The number counts only once
    // registrato() says the row was stored: a row begun and never stored
    // uses none.
    void numera(DataSet& tabella, QStringView codice, QStringView sezione, qint64 immobile, qint64 progressivo);
    // The row numbered last in `tabella` has been stored.
    void registrato(const DataSet& tabella);

private:
    struct PerTabella;
    PerTabella& perTabella(const DataSet& t);

    QString codiceGestione_;
    size_t maschera_ = 0;  // bits of each filter, less one
    std::vector<std::unique_ptr<PerTabella>> tabelle_;
};
