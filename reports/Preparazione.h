#pragma once
// The preparation of a report: walks the data sets of a template (master
// bands, detail bands under them, groups, sub-reports), runs the
// before-print procedures, evaluates the texts and lays the bands out on
// pages. The result is a ReportPreparato; nothing of a preparation outlives
// it, so every preparation starts afresh (page numbers from 1, sums from 0).
//
// Walking a data set moves its cursor quietly (SeguitoSospeso: the grids
// bound to it do not follow) and puts it back on its row afterwards; detail
// data sets that follow their master through Query::seguiMaster follow it
// during the walk as well.

#include "Modello.h"
#include "ReportPreparato.h"

#include <QDateTime>
#include <QVariant>
#include <functional>
#include <optional>

class DataSet;

// What a preparation reads.
struct DatiReport {
    struct Sorgente {
        QString nome;       // the name the template uses ("frxDBDataset1")
        DataSet* ds = nullptr;
        QStringList campi;  // the fields offered to the report; empty: all
    };
    std::vector<Sorgente> sorgenti;
    void aggiungi(const QString& nome, DataSet& ds, const QStringList& campi = {});

    // Starting values of the report's variables.
    QVariantHash variabili;
    // Asked for every name before the report's variables; no answer: nullopt.
    std::function<std::optional<QVariant>(const QString& nome)> valoreEsterno;
    // Data sets that follow a walked one and are not in the report: their
    // views stay quiet during the preparation too.
    QList<DataSet*> quieti;
    // The moment of printing, for Date and Time.
    QDateTime adesso = QDateTime::currentDateTime();
};

// What the before-print procedures of a template may do.
class ScriptReport {
public:
    virtual ~ScriptReport() = default;
    virtual QVariant campo(const QString& dati, const QString& campo) = 0;
    virtual QVariant variabile(const QString& nome) = 0;
    virtual void impostaVariabile(const QString& nome, const QVariant& valore) = 0;
    virtual void mostra(const QString& elemento, bool visibile) = 0;
    virtual void mostraBanda(const QString& banda, bool visibile) = 0;
    virtual void impostaTesto(const QString& elemento, const QString& testo) = 0;
    // Loads a picture item from a file; raises Errore when it cannot be read.
    virtual void caricaImmagine(const QString& elemento, const QString& file) = 0;
    virtual int pagina() const = 0;
};

// Raises Errore (a data set or field the template names is missing, an
// expression is wrong, a procedure fails); the data sets' cursors are put back.
ReportPreparato PreparaReport(const ModelloReport& modello, const DatiReport& dati);

// The same, page by page: each page, once complete, is handed to `consegna`
// with its number (from 1) and the report it belongs to (its fonts as far as
// they are known), then dropped, so that a report of any length takes the
// memory of one page. The result holds no pages. An error raised by
// `consegna` ends the preparation.
using ConsegnaPagina = std::function<void(const ReportPreparato& r, const PaginaPreparata& pagina, int numero)>;
ReportPreparato PreparaReport(const ModelloReport& modello, const DatiReport& dati, const ConsegnaPagina& consegna);

// The left and right edges, in millimetres from the page's left side, of the
// template's text boxes, sorted, those closer than 0.1 mm taken as one: the
// columns of a grid that holds every text of the report in a cell of its own.
std::vector<double> bordiColonne(const ModelloReport& m);
