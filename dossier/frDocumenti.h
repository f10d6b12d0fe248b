#pragma once
// The dossier window: one owner's units in the managing municipality with
// their identifiers, addresses and rooms, the owner's cadastral surface and,
// in the hand-off mode, the comparison with the declared surface.

#include "DossierSoggetto.h"
#include "ReportDossier.h"
#include "ReportLettere.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableView;
class QWidget;
class GrigliaAmbienti;
class TdTabelle;

class TfDocumenti : public QDialog {
    Q_OBJECT
public:
    TfDocumenti(TdTabelle& dati, QWidget* parent = nullptr);

    // Set by the caller before showing.
    qint64 NumSoggetto = 0;
    int Tag = 0;  // 0 from the main window, 1 from the cadastral search
    // Opens the cadastral search on the sheet, parcel and sub-unit of the
    // current identifier (empty texts when there is none); set by the main
    // window, which owns the search ("Ricerca" stays disabled without it).
    std::function<void(const QString& foglio, const QString& numero, const QString& subalterno)> apriRicerca;

    DossierSoggetto& dossier() { return dossier_; }
    // The dossier summary's owner header query and template (Prospetto).
    ReportDossier& frxReport1() { return frxReport1_; }
    // "Prospetto": prepares the summary and shows it in the preview.
    void ProspettoClick();
    // The single letter's query and template (frxReport2).
    ReportLettere& frxReport2() { return frxReport2_; }
    // "Lettera": the letter to this dossier's owner in the preview.
    void BitBtn4Click();
    const Confronto& confronto() const { return confronto_; }

    QTableView* DBGrid1 = nullptr;  // units
    QTableView* DBGrid2 = nullptr;  // identifiers
    QTableView* DBGrid3 = nullptr;  // addresses
    GrigliaAmbienti* DBCtrlGrid1 = nullptr;  // rooms
    QPushButton* Ricerca = nullptr;
    QPushButton* Prospetto = nullptr;
    QPushButton* Lettera = nullptr;
    QPushButton* Chiudi = nullptr;
    QLabel* Totale = nullptr;
    QWidget* PannelloRuolo = nullptr;
    QLabel* Ruolo = nullptr;
    QLabel* Differenza = nullptr;
    QLabel* Dichiarabile = nullptr;
    QLabel* Accertabile = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void disponi();

    TdTabelle& dati_;
    DossierSoggetto dossier_;
    Confronto confronto_;
    ReportDossier frxReport1_;
    ReportLettere frxReport2_;
};
