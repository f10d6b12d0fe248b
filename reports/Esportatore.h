#pragma once
// What writes a prepared report to a file: PDF here; a spreadsheet export
// implements the same interface from the text boxes' values, kinds, fonts,
// backgrounds and boxes.

#include "ReportPreparato.h"

#include <functional>

class Esportatore {
public:
    virtual ~Esportatore() = default;
    // Its name in the preview's export menu, and the file dialog's filter.
    virtual QString nome() const = 0;
    virtual QString filtroFile() const = 0;
    // Writes pages `da` to `a` (from 1) to `file`. `avanzamento`, when set, is
    // told of each page done and stops the export by returning false.
    // Raises Errore when the file cannot be written.
    virtual void esporta(const ReportPreparato& r, const QString& file, int da, int a,
                         const std::function<bool(int fatte, int totale)>& avanzamento = {}) = 0;
};

// Writes PDF files: each page at its size, fonts embedded, texts selectable.
class EsportatorePdf : public Esportatore {
public:
    QString nome() const override { return QStringLiteral("Documento PDF"); }
    QString filtroFile() const override { return QStringLiteral("Documento PDF (*.pdf)"); }
    void esporta(const ReportPreparato& r, const QString& file, int da, int a,
                 const std::function<bool(int, int)>& avanzamento = {}) override;
};

// The whole report as a PDF file.
void ScriviPdf(const ReportPreparato& r, const QString& file);
