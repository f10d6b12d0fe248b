#pragma once
// The municipality look-up: the clerk types the beginning of a name and picks
// a municipality of the reference list; the caller reads the choice after OK.

#include "Query.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QTableView;
class QToolBar;
class QWidget;
class TdTabelle;
class TdImmagini;

class TfCercaCom : public QDialog {
    Q_OBJECT
public:
    TfCercaCom(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent = nullptr);

    // The municipality of the row last made current, as stored (the name and
    // the province keep their padding); kept when a search finds nothing.
    QString CodiceScelto;
    QString NomeScelto;
    QString ProvinciaScelta;

    Query ADOQuery1;
    QWidget* Panel1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QAction* DataSetFirst1 = nullptr;
    QAction* DataSetPrior1 = nullptr;
    QAction* DataSetNext1 = nullptr;
    QAction* DataSetLast1 = nullptr;
    QTableView* DBGrid1 = nullptr;

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormShow();
    void Edit1Change();
    void ADOQuery1AfterScroll();
    void disponi(const TdImmagini* immagini);
};
