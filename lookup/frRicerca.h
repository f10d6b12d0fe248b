#pragma once
// The cadastral search window: the managing municipality's units by
// identifier or by category, and the owners of the unit under the cursor,
// whose dossier can be opened from here.

#include "RicercaCatastale.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class TdTabelle;
class TdImmagini;
class TfDocumenti;

class TfRicerca : public QDialog {
    Q_OBJECT
public:
    TfRicerca(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent = nullptr);

    // Set by the caller before showing.
    int Tag = 0;  // 0 from the main window, 1 from the dossier
    QString FoglioRicerca, NumeroRicerca, SubalternoRicerca;  // presets with Tag 1
    // The program's dossier window, created on first use; set by the main window.
    std::function<TfDocumenti*()> fDocumenti;

    RicercaCatastale& ricerca() { return ricerca_; }

    QPushButton* Chiudi = nullptr;
    QGroupBox* GroupBox1 = nullptr;  // "Identificativo catastale"
    QLineEdit* Edit1 = nullptr;      // Sezione
    QLineEdit* Edit2 = nullptr;      // Foglio
    QLineEdit* Edit3 = nullptr;      // Numero
    QLineEdit* Edit4 = nullptr;      // Subalt.
    QPushButton* Button1 = nullptr;  // identifier search
    QLabel* Quantita1 = nullptr;     // identifier count
    QGroupBox* GroupBox2 = nullptr;  // "Categoria catastale"
    QLabel* LabelCategoria = nullptr;
    QLineEdit* Edit5 = nullptr;      // category
    QPushButton* Button2 = nullptr;  // category search
    QLabel* Quantita2 = nullptr;     // category count
    QLabel* Superficie2 = nullptr;   // total surface of the category
    QTableView* DBGrid1 = nullptr;   // identifiers
    QTableView* DBGrid2 = nullptr;   // units of the category
    QTableView* DBGrid3 = nullptr;   // owners
    QToolButton* Documenti = nullptr;

    void Button1Click();
    void Button2Click();
    void DocumentiClick();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void disponi(const TdImmagini* immagini);

    RicercaCatastale ricerca_;
};
