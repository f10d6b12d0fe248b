#pragma once
// The roll verification window: loads the waste-tax roll and compares every
// taxpayer with the cadastral data ("Importa"); the control listing
// ("Stampa") and the letters ("Lettere") are printed from what it stored.

#include <QDialog>
#include <functional>
#include <memory>

class PulsanteFigura;
class ReportLettere;
class ReportTabulato;
class QProgressBar;
class Query;
class TdTabelle;

class TfVerifica : public QDialog {
    Q_OBJECT
public:
    // `elenco` is the main window's owner list, in which the taxpayers are searched.
    // Creating it makes the spreadsheet export available in every preview.
    TfVerifica(TdTabelle& dati, Query& elenco, QWidget* parent = nullptr);
    ~TfVerifica() override;

    PulsanteFigura* BitBtn1 = nullptr;  // "Importa"
    PulsanteFigura* BitBtn2 = nullptr;  // "Stampa"
    PulsanteFigura* BitBtn4 = nullptr;  // "Lettere"
    PulsanteFigura* BitBtn3 = nullptr;  // "Chiudi"
    QProgressBar* ProgressBar1 = nullptr;

    // "Importa": the roll file of the exchange directory into tRsuTot.
    void BitBtn1Click();
    // "Stampa": the control listing of tRsuTot in the preview.
    void BitBtn2Click();
    // "Lettere": the letters to the taxpayers in the preview, which can also
    // save one PDF file per letter into a folder.
    void BitBtn4Click();

    // The control listing (ADOQuery1, frxReport1) and the batch letters (AQSoggetto, frxReport2).
    ReportTabulato& frxReport1() { return *frxReport1_; }
    ReportLettere& frxReport2() { return *frxReport2_; }
    // The folder for one file per letter (empty: cancelled); tests replace it.
    std::function<QString(QWidget* padre)> chiediCartellaLettere;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void disponi();

    TdTabelle& dati_;
    Query& elenco_;
    std::unique_ptr<ReportTabulato> frxReport1_;
    std::unique_ptr<ReportLettere> frxReport2_;
};
