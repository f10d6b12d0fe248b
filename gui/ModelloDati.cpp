#include "ModelloDati.h"

#include "DataSet.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

ModelloDati::ModelloDati(DataSet& ds, QList<ColonnaGriglia> colonne, QObject* parent)
    : QAbstractTableModel(parent), ds_(&ds), colonne_(std::move(colonne))
{
    connect(ds_, &DataSet::datiCambiati, this, &ModelloDati::ricarica);
    connect(ds_, &DataSet::rigaCambiata, this, &ModelloDati::spostaIndicatore);
    // Quiet moves end: one reset when the rows changed meanwhile, else the
    // row indicator moves once.
    connect(ds_, &DataSet::seguitoRipreso, this, [this] {
        if (ricaricaRinviata_)
            ricarica();
        else
            spostaIndicatore();
    });
    ricarica();
}

void ModelloDati::spostaIndicatore()
{
    if (!ds_ || ds_->seguitoSospeso())
        return;
    const int r = ds_->aperto() ? ds_->rigaCorrente() : -1;
    if (indicatore_ >= 0 && indicatore_ < righe_)
        Q_EMIT headerDataChanged(Qt::Vertical, indicatore_, indicatore_);
    indicatore_ = r;
    if (r >= 0 && r < righe_)
        Q_EMIT headerDataChanged(Qt::Vertical, r, r);
}

void ModelloDati::ricarica()
{
    if (!ds_)
        return;
    if (ds_->seguitoSospeso()) {
        ricaricaRinviata_ = true;
        return;
    }
    ricaricaRinviata_ = false;
    beginResetModel();
    campi_.clear();
    for (const ColonnaGriglia& c : colonne_)
        campi_.append(ds_->indiceCampo(c.campo));
    // A failed load was raised to whoever opened or read the data set; a grid
    // repaints too often to raise it again, so it shows no rows.
    try {
        righe_ = ds_->aperto() ? ds_->righe() : 0;
    } catch (const std::exception&) {
        righe_ = 0;
    }
    endResetModel();
}

int ModelloDati::rowCount(const QModelIndex& parent) const { return parent.isValid() || !ds_ ? 0 : righe_; }
int ModelloDati::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(colonne_.size()); }

QVariant ModelloDati::data(const QModelIndex& index, int role) const
{
    if (!ds_ || !index.isValid() || index.row() >= righe_)
        return {};
    const int campo = campi_[index.column()];
    if (role == Qt::DisplayRole) {
        if (campo < 0 || !ds_->aperto())
            return QString();
        try {
            return ds_->testoRiga(index.row(), campo);
        } catch (const std::exception&) {
            return QString();  // painting cannot report an error; the reader that loaded did
        }
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(colonne_[index.column()].allineamento | Qt::AlignVCenter);
    return {};
}

QVariant ModelloDati::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!ds_)
        return {};
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)  // the row indicator
        return ds_->aperto() && section == ds_->rigaCorrente() ? QStringLiteral("\u25B6") : QString();
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return colonne_[section].titolo;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(colonne_[section].allineamentoTitolo | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ModelloDati::collega(QTableView* vista)
{
    vista->setModel(this);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->setSelectionMode(QAbstractItemView::SingleSelection);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vista->verticalHeader()->setFixedWidth(14);
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 4);
    vista->verticalHeader()->setMinimumSectionSize(vista->fontMetrics().height() + 4);
    vista->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int i = 0; i < colonne_.size(); ++i)
        vista->setColumnWidth(i, colonne_[i].larghezza);

    auto aCursore = [this, vista] {
        if (!ds_ || ds_->seguitoSospeso())
            return;
        const int r = ds_->aperto() ? ds_->rigaCorrente() : -1;
        const QModelIndex attuale = vista->currentIndex();
        if (r < 0) {
            vista->selectionModel()->clearSelection();
            return;
        }
        if (attuale.isValid() && attuale.row() == r)
            return;
        const QModelIndex i = index(r, attuale.isValid() ? attuale.column() : 0);
        vista->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        vista->scrollTo(i);
    };
    connect(ds_, &DataSet::rigaCambiata, vista, aCursore);
    connect(ds_, &DataSet::seguitoRipreso, vista, aCursore);
    connect(this, &QAbstractItemModel::modelReset, vista, aCursore);
    connect(vista->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& corrente) {
                if (ds_ && corrente.isValid() && ds_->aperto() && corrente.row() != ds_->rigaCorrente())
                    ds_->vaiA(corrente.row());
            });
    aCursore();
}
