#pragma once
// The management parameters dialog: which municipality the office manages
// and its letterhead data (the one row of tParametri), beside the summary of
// that municipality's last supply.

#include "Query.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;
class CampoDati;
class TdTabelle;
class TdImmagini;
class TfCercaCom;

class TfParametri : public QDialog {
    Q_OBJECT
public:
    TfParametri(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent = nullptr);

    // The municipality summarised when the dialog was last shown: picking it
    // in the drop-down list is no change.
    QString CodiceRiepilogo;

    Query ADOQuery1;  // municipalities of the supplies in the database
    QComboBox* DBLookupComboBox1 = nullptr;
    QWidget* Panel1 = nullptr;  // municipality name and code
    QToolButton* SpeedButton1 = nullptr;  // the look-up
    CampoDati* DBEdit1 = nullptr;   // Nome
    CampoDati* DBEdit5 = nullptr;   // Codice
    CampoDati* DBEdit6 = nullptr;   // Provincia
    CampoDati* DBEdit7 = nullptr;   // CodFis
    CampoDati* DBEdit8 = nullptr;   // Indirizzo
    CampoDati* DBEdit9 = nullptr;   // Telefono
    CampoDati* DBEdit10 = nullptr;  // Fax
    CampoDati* DBEdit11 = nullptr;  // Firma
    CampoDati* DBEdit2 = nullptr;   // EData of the summary
    CampoDati* DBEdit3 = nullptr;   // TotUIU of the summary
    QPlainTextEdit* Memo1 = nullptr;  // "Tabella quadrature"
    QPushButton* Conferma = nullptr;
    QPushButton* Chiudi = nullptr;

    // The look-up window, created on its first use.
    TfCercaCom* fCercaCom() const { return fCercaCom_; }
    // The key the drop-down list holds, if any.
    const std::optional<QString>& chiave() const { return chiave_; }

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void disponi(const TdImmagini* immagini);
    void riempiElenco();
    void impostaChiave(const std::optional<QString>& chiave);
    void DBLookupComboBox1Click(int indice);
    void ADOQuery1AfterScroll();
    void SpeedButton1Click();
    void aggiornaCampi();

    TdTabelle& dati_;
    const TdImmagini* immagini_;
    TfCercaCom* fCercaCom_ = nullptr;
    std::optional<QString> chiave_;
    QList<CampoDati*> campi_;
};
