#pragma once
// A prepared report: its pages, each a list of primitives placed in
// millimetres from the page's top-left corner, and nothing else. Renderers
// (screen, printer, PDF, text dump, spreadsheet) read only this.

#include "Stile.h"

#include <QImage>
#include <QRectF>
#include <QVarLengthArray>
#include <variant>
#include <vector>

// A text box: its box and background, and the lines that print in it. It
// keeps the whole text and the kind of its value, so that an export can
// write the cell as a number or a date.
struct TestoPreparato {
    enum class Tipo : quint8 { Testo, Numero, Data };

    // One printed line: a part of `testo`, its start and baseline on the page.
    struct Riga {
        quint16 inizio = 0, lunghezza = 0;
        float x = 0, linea = 0;      // left end and baseline, mm on the page
        float giustifica = 0;        // > 0: stretched to this width (justified)
    };

    QRectF riquadro;
    QString testo;
    QVarLengthArray<Riga, 1> righe;
    quint16 carattere = 0;  // index into ReportPreparato::caratteri
    Orizzontale orizzontale = Orizzontale::Sinistra;
    Tipo tipo = Tipo::Testo;
    QRgb colore = nero;
    QRgb sfondo = nessunColore;
    double numero = 0;  // the value of a Numero; of a Data, its Julian day

    QStringView riga(const Riga& r) const { return QStringView(testo).mid(r.inizio, r.lunghezza); }
    // The printed lines joined by line feeds.
    QString stampato() const;
};

struct LineaPreparata {
    QPointF da, a;
    float spessore = 0;  // mm
    StileLinea stile = StileLinea::Continua;
    QRgb colore = nero;
};

struct RettangoloPreparato {
    QRectF riquadro;
    QRgb riempimento = nessunColore;
    QRgb bordo = nessunColore;
    float spessore = 0;
};

struct ImmaginePreparata {
    QRectF riquadro;
    QImage immagine;  // shared: the same picture on every page costs nothing more
};

using Primitiva = std::variant<TestoPreparato, LineaPreparata, RettangoloPreparato, ImmaginePreparata>;

struct PaginaPreparata {
    std::vector<Primitiva> primitive;  // in painting order
};

struct ReportPreparato {
    QString titolo;
    double larghezza = 210, altezza = 297;  // page size in mm, as it prints
    std::vector<Carattere> caratteri;
    std::vector<PaginaPreparata> pagine;
    // The edges of the template's text boxes, mm from the page's left side:
    // the columns a spreadsheet export lays the cells on.
    std::vector<double> colonne;

    int numeroPagine() const { return int(pagine.size()); }
    quint16 indiceCarattere(const Carattere& c);
};
