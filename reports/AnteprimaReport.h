#pragma once
// The preview of a prepared report: a modal window that opens at 100 % on
// page 1, with zoom, page navigation, text search across the pages,
// printing (print dialog with printer and page range), saving as PDF and
// the exports registered program-wide.

#include "ReportPreparato.h"

#include <QDialog>
#include <functional>
#include <memory>

class Esportatore;
class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;
class QToolBar;
class VistaPagine;

class AnteprimaReport : public QDialog {
    Q_OBJECT
public:
    explicit AnteprimaReport(std::shared_ptr<const ReportPreparato> r, QWidget* parent = nullptr);

    // Shows `r` modally.
    static void mostra(QWidget* padre, ReportPreparato r);

    QToolBar* barra = nullptr;
    QAction* Stampa = nullptr;
    QAction* SalvaPdf = nullptr;
    QAction* Esporta = nullptr;  // only when an export is registered
    QAction* ZoomPiu = nullptr;
    QAction* ZoomMeno = nullptr;
    QAction* LarghezzaPagina = nullptr;
    QAction* PaginaIntera = nullptr;
    QAction* PrimaPagina = nullptr;
    QAction* PaginaPrecedente = nullptr;
    QAction* PaginaSuccessiva = nullptr;
    QAction* UltimaPagina = nullptr;
    QAction* TrovaSuccessivo = nullptr;
    QAction* Chiudi = nullptr;
    QSpinBox* NumeroPagina = nullptr;  // from 1
    QLabel* TotalePagine = nullptr;
    QLabel* Zoom = nullptr;
    QLineEdit* TestoRicerca = nullptr;
    VistaPagine* vista = nullptr;

    int paginaCorrente() const;  // from 0
    // The next occurrence of TestoRicerca's text, ignoring case, after the one
    // highlighted, across the pages and round to the first; false when none.
    bool trova();
    // Where the last search stopped: page and text box, or -1.
    int paginaTrovata() const { return trovata_.pagina; }
    int primitivaTrovata() const { return trovata_.primitiva; }

    // The dialogs, which tests replace: the print dialog (false: cancelled),
    // the PDF file name and an export's file and pages (empty: cancelled).
    std::function<bool(QPrinter&)> dialogoStampa;
    std::function<QString()> chiediFilePdf;
    struct SceltaEsportazione {
        QString file;
        QList<int> pagine;  // from 1, ascending
    };
    std::function<SceltaEsportazione(const Esportatore&)> chiediEsportazione;

    void stampa();
    void salvaPdf();
    void esporta(Esportatore& e);

private:
    void creaAzioni();
    void zoomA(double z);
    void aggiornaStato();

    std::shared_ptr<const ReportPreparato> report_;
    struct Posizione {
        int pagina = -1, primitiva = -1, dopo = 0;  // dopo: where in the text the next search starts
    } trovata_;
};
