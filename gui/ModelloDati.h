#pragma once
// Shows a data set in a QTableView: the columns a window chooses, with their
// titles, widths and alignments; the grid's current row follows the data
// set's cursor and moves it.

#include "DataSet.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

class QTableView;

struct ColonnaGriglia {
    QString campo;
    QString titolo;
    int larghezza = 64;
    Qt::Alignment allineamento = Qt::AlignLeft;
    Qt::Alignment allineamentoTitolo = Qt::AlignLeft;
};

class ModelloDati : public QAbstractTableModel {
    Q_OBJECT
public:
    ModelloDati(DataSet& ds, QList<ColonnaGriglia> colonne, QObject* parent = nullptr);

    const QList<ColonnaGriglia>& colonne() const { return colonne_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Binds `vista` to this model: widths, whole-row selection, read-only, and
    // the current row kept equal to the data set's cursor.
    void collega(QTableView* vista);

private:
    void ricarica();
    void spostaIndicatore();

    // A window's data sets may go before its views: a view asking a model
    // whose data set is gone gets nothing.
    QPointer<DataSet> ds_;
    QList<ColonnaGriglia> colonne_;
    QList<int> campi_;
    int righe_ = 0;
    int indicatore_ = -1;
    bool ricaricaRinviata_ = false;  // rows changed while the data set's moves were quiet
};
