#pragma once
// The control listing ("Tabulato di controllo dati metrici", frxReport1 of
// the roll verification window): every row of tRsuTot in name order with the
// taxpayer's cadastral, declared, difference, reference and greater
// assessable surfaces, the mark of the taxpayers not found among the owners,
// and the totals of the difference and of the assessable surface.

#include "Modello.h"
#include "Preparazione.h"
#include "Query.h"
#include "ReportPreparato.h"

#include <QDateTime>

class TdTabelle;

class ReportTabulato {
public:
    explicit ReportTabulato(TdTabelle& dati);

    static ModelloReport frxReport1();

    // The listing query over tRsuTot, in name order; reopened by every preparation.
    Query ADOQuery1;

    // "Stampa": reads tRsuTot afresh and prepares the listing.
    ReportPreparato prepara(const QDateTime& adesso = QDateTime::currentDateTime());
    // The same, page by page (Preparazione.h); returns the number of pages.
    int prepara(const ConsegnaPagina& consegna, const QDateTime& adesso = QDateTime::currentDateTime());

    // What the last column prints (MasterData1OnBeforePrint): the greater
    // assessable surface, 0 when it is negative or empty.
    static qint64 accertabileStampato(const QVariant& accertabile);

private:
    DatiReport dati(const QDateTime& adesso);
};
