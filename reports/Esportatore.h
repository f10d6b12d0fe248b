#pragma once
// What writes a prepared report to a file: PDF here; the spreadsheet export
// implements the same interface from the text boxes' values, kinds, fonts,
// backgrounds and boxes.

#include "ReportPreparato.h"

#include <QList>
#include <functional>
#include <memory>
#include <optional>

class QPdfWriter;
class QPainter;

// Told of each page done (how many, out of how many); false stops the export.
using AvanzamentoEsportazione = std::function<bool(int fatte, int totale)>;

class Esportatore {
public:
    virtual ~Esportatore() = default;
    // Its name in the preview's export menu, and the file dialog's filter.
    virtual QString nome() const = 0;
    virtual QString filtroFile() const = 0;
    // Writes the pages numbered in `pagine` (from 1, ascending; numbers
    // beyond the report are skipped) to `file`. Raises Errore when the file
    // cannot be written.
    virtual void esporta(const ReportPreparato& r, const QString& file, const QList<int>& pagine,
                         const AvanzamentoEsportazione& avanzamento = {}) = 0;
};

// Every page of `r`: 1 to its number of pages.
QList<int> TutteLePagine(const ReportPreparato& r);
// A choice of pages as a clerk writes it, "1-3,5": numbers and ranges
// separated by commas, blanks ignored, each from 1 to `totale`; ascending,
// each page once. Nothing when the text is empty or not of that form.
std::optional<QList<int>> PagineScelte(const QString& testo, int totale);

// Writes PDF files: each page at its size, fonts embedded, texts selectable.
class EsportatorePdf : public Esportatore {
public:
    QString nome() const override { return QStringLiteral("Documento PDF"); }
    QString filtroFile() const override { return QStringLiteral("Documento PDF (*.pdf)"); }
    void esporta(const ReportPreparato& r, const QString& file, const QList<int>& pagine,
                 const AvanzamentoEsportazione& avanzamento = {}) override;
};

// A PDF file written page by page, as a preparation hands its pages over.
// The file is created at once (an error then, not after a long preparation).
class ScrittorePdf {
public:
    explicit ScrittorePdf(const QString& file);
    ~ScrittorePdf();
    ScrittorePdf(const ScrittorePdf&) = delete;
    ScrittorePdf& operator=(const ScrittorePdf&) = delete;

    void pagina(const ReportPreparato& r, const PaginaPreparata& p);
    // Ends the file; raises Errore when it could not be written.
    void chiudi();
    int pagine() const { return pagine_; }

private:
    QString file_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<QPainter> pittore_;
    int pagine_ = 0;
};

// The whole report as a PDF file.
void ScriviPdf(const ReportPreparato& r, const QString& file);
