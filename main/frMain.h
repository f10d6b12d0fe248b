#pragma once
// The main window: the owner list of the managing municipality with its
// incremental search by name and by tax code, and the actions that reach
// every other function of the program.

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolBar;
class Query;
class ModelloDati;
class TdTabelle;
class TdImmagini;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfMain(QWidget* parent = nullptr);
    ~TfMain() override;

    // Binds the window to the data and image modules once they exist; the
    // window's creation itself touches no database.
    void collegaModuli(TdTabelle& dati, TdImmagini& immagini);

    // The owner list (shared with the hand-off mode, the roll load, reports).
    Query& ADOQuery1() { return *ADOQuery1_; }

    QToolBar* ActionToolBar1 = nullptr;
    QAction* Parametri1 = nullptr;
    QAction* Import1 = nullptr;
    QAction* DataSetFirst1 = nullptr;
    QAction* DataSetPrior1 = nullptr;
    QAction* DataSetNext1 = nullptr;
    QAction* DataSetLast1 = nullptr;
    QAction* Cerca1 = nullptr;
    QAction* Documenti1 = nullptr;
    QAction* Stampa1 = nullptr;
    QAction* Verifica1 = nullptr;
    QPushButton* Uscita = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    // Opens the owner list with the municipality filter set just before.
    void ApriElenco();
    // After confirmed parameters: re-filter the supply tables, reopen the list.
    void AggiornaDopoParametri();
    // The supply import: the file dialog, the confirmation, the run with the
    // progress bar, and the owner list reopened however the run ends.
    void Import1Execute();
    // The file dialog OpenDialog1; tests put their own chooser here.
    std::function<QString()> OpenDialog1;

    // The owner list report over the list as it stands, in the preview.
    void Stampa1Execute();
    // Opens the dossier of the current owner (also Enter in the grid or a box).
    void Documenti1Execute();
    // The cadastral search, opened from the main window.
    void Cerca1Execute();
    // The parameters dialog; after "Conferma" the refresh above.
    void Parametri1Execute();
    // The hand-off mode: reads the request in the exchange directory, shows
    // the taxpayer's dossier, then asks the program to end.
    void EseguiRichiesta();
    // How the program is asked to end; tests put their own here.
    std::function<void()> terminaApplicazione;
    class TfDocumenti* fDocumenti() const { return fDocumenti_; }
    // The roll verification window, created on first use.
    void Verifica1Execute();
    class TfVerifica* fVerifica() const { return fVerifica_; }
    class TfRicerca* fRicerca() const { return fRicerca_; }
    class TfParametri* fParametri() const { return fParametri_; }

    // True when the roll exchange file could be opened at the first showing.
    bool fileRuoloPresente() const { return fileRuolo_; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormShow();
    void Edit1Change(QLineEdit* box);
    void creaAzioni();
    void disponi();
    // The single instances, created on first use under the database-wait cursor.
    TfDocumenti* documenti();
    TfRicerca* ricerca();

    TdTabelle* dati_ = nullptr;
    std::unique_ptr<Query> ADOQuery1_;
    ModelloDati* modello_ = nullptr;
    class TfDocumenti* fDocumenti_ = nullptr;
    class TfVerifica* fVerifica_ = nullptr;
    class TfRicerca* fRicerca_ = nullptr;
    class TfParametri* fParametri_ = nullptr;
    const TdImmagini* immagini_ = nullptr;
    bool mostrata_ = false;
    bool fileRuolo_ = false;
};
