#pragma once
// The cadastral search of the managing municipality's units: by identifier
// (section, sheet, parcel, sub-unit) or by category, with the count, the total
// surface of a category, and the owners of the unit under either result
// list's cursor.

#include "Query.h"

#include <QObject>

class TdTabelle;

struct Identificativo {
    QString sezione, foglio, numero, subalterno;
};

class RicercaCatastale : public QObject {
    Q_OBJECT
public:
    explicit RicercaCatastale(TdTabelle& dati, QObject* parent = nullptr);

    // The condition line of an identifier search: an equality on each box
    // that is not empty, values quoted; empty when every box is.
    static QString condizione(const Identificativo& id);
    // The total surface of the municipality's units, of one category when
    // `categoria` is not empty.
    static QStringList sqlTotale(const QString& codice, const QString& categoria);

    // Closes the category results and lists the identifiers that match;
    // returns how many.
    int cercaIdentificativo(const Identificativo& id);
    struct Categoria {
        int quantita = 0;
        QString superficie;  // empty when no unit qualifies
    };
    // Closes the identifier results and lists the units of `categoria`
    // (every unit when empty), with their total surface.
    Categoria cercaCategoria(const QString& categoria);
    void chiudi();

    Query ADOQuery1;  // identifiers
    Query ADOQuery2;  // units of a category
    Query ADOQuery3;  // owners of the current unit
    // The unit of the row last made current in either result list.
    qint64 ImmobileCorrente = 0;

private:
    void seguiUnita(DataSet& risultati);

    TdTabelle& dati_;
};
