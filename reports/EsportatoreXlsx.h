#pragma once
// The spreadsheet export of a prepared report: one XLSX worksheet holding
// every printed text box as a cell, placed as on the page. Columns come
// from the template's box edges (ReportPreparato::colonne) and are as wide
// as on the page; each page adds the rows of its boxes' tops, as tall as on
// the page. A whole number or a date is written as a number (dates shown
// dd/mm/yyyy), anything else as text; each cell keeps its box's font, weight,
// alignment and background colour. Written in libxlsxwriter's
// constant-memory mode, row after row, so a report of any length takes the
// memory of one page.

#include "Esportatore.h"

#include <map>
#include <tuple>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A worksheet written page by page, as a preparation hands its pages over.
class FoglioXlsx {
public:
    // Raises Errore when the file cannot be created. `colonne`: the column
    // edges in millimetres from the page's left side.
    FoglioXlsx(const QString& file, const std::vector<double>& colonne);
    ~FoglioXlsx();
    FoglioXlsx(const FoglioXlsx&) = delete;
    FoglioXlsx& operator=(const FoglioXlsx&) = delete;

    // Raises Errore when the page would take the sheet beyond its last row.
    void pagina(const ReportPreparato& r, const PaginaPreparata& p);
    // Writes the file; raises Errore when it cannot be written.
    void chiudi();
    int righe() const { return riga_; }

    static constexpr int righeMassime = 1048576;  // rows of a worksheet

private:
    struct Stile;
    lxw_format* formato(const Stile& s);
    int colonna(double x) const;  // the column holding position x (mm)

    QString file_;
    lxw_workbook* libro_ = nullptr;
    lxw_worksheet* foglio_ = nullptr;
    std::vector<double> bordi_;
    using ChiaveStile = std::tuple<QString, double, bool, bool, bool, QRgb, QRgb, uint8_t, uint8_t, bool, int>;
    std::map<ChiaveStile, lxw_format*> formati_;
    std::pair<ChiaveStile, lxw_format*> ultimo_{};
    int riga_ = 0;  // the next row to write
};

class EsportatoreXlsx : public Esportatore {
public:
    QString nome() const override { return QStringLiteral("Foglio di calcolo Excel"); }
    QString filtroFile() const override { return QStringLiteral("Foglio di calcolo Excel (*.xlsx)"); }
    void esporta(const ReportPreparato& r, const QString& file, const QList<int>& pagine,
                 const AvanzamentoEsportazione& avanzamento = {}) override;
};
