#pragma once
// The roll verification window: loads the waste-tax roll and compares every
// taxpayer with the cadastral data ("Importa"); the control listing
// ("Stampa") and the letters ("Lettere") are printed from what it stored.

#include <QDialog>

class PulsanteFigura;
class QProgressBar;
class Query;
class TdTabelle;

class TfVerifica : public QDialog {
    Q_OBJECT
public:
    // `elenco` is the main window's owner list, in which the taxpayers are searched.
    TfVerifica(TdTabelle& dati, Query& elenco, QWidget* parent = nullptr);

    PulsanteFigura* BitBtn1 = nullptr;  // "Importa"
    PulsanteFigura* BitBtn2 = nullptr;  // "Stampa"
    PulsanteFigura* BitBtn4 = nullptr;  // "Lettere"
    PulsanteFigura* BitBtn3 = nullptr;  // "Chiudi"
    QProgressBar* ProgressBar1 = nullptr;

    // "Importa": the roll file of the exchange directory into tRsuTot.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void disponi();

    TdTabelle& dati_;
    Query& elenco_;
};
