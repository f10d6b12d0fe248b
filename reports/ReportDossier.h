#pragma once
// The dossier summary of one owner ("Prospetto" of the dossier window): the
// owner's name, tax code and birth, one row per unit of the managing
// municipality with its addresses, category, surface and outcome, and the
// cadastral total; in the hand-off mode also the comparison with the
// declared surface.

#include "ConfrontoSuperfici.h"
#include "Modello.h"
#include "Query.h"
#include "ReportPreparato.h"

#include <QDateTime>

class DossierSoggetto;
class TdTabelle;

class ReportDossier {
public:
    explicit ReportDossier(TdTabelle& dati);

    static ModelloReport modello();

    // The owner header query, reopened by every preparation.
    Query ADOQuery5;

    // "Prospetto": reopens the owner header query for `soggetto` and prepares
    // the summary over the dossier's unit list (which must be open) and its
    // address list, which follows the unit. `parametro` is the first
    // command-line argument in upper case; the figures are those the dossier
    // window shows. The unit list is put back on its row.
    ReportPreparato prepara(DossierSoggetto& dossier, qint64 soggetto, const QString& parametro,
                            const Confronto& figure, const QDateTime& adesso = QDateTime::currentDateTime());

    // MasterData2OnBeforePrint's rule: the house number when `civico`, without
    // its surrounding blanks, is a whole number; else nothing.
    static QVariant NumCiv(const QVariant& civico);

private:
    TdTabelle& dati_;
};
