#pragma once
// The data of one owner's dossier: the owner's units in the managing
// municipality, and the identifiers, addresses and rooms of the selected unit,
// which follow the unit list's cursor.

#include "ConfrontoSuperfici.h"
#include "Query.h"

#include <QObject>

class TdTabelle;

class DossierSoggetto : public QObject {
    Q_OBJECT
public:
    explicit DossierSoggetto(TdTabelle& dati, QObject* parent = nullptr);

    // Reopens the unit list for `soggetto`; the detail lists follow its first row.
    void apri(qint64 soggetto);
    // The comparison figures of the owner, with `ruolo` as the declared surface.
    Confronto confronta(qint64 soggetto, qint32 ruolo);

    static QString DesFonte(const QVariant& fonte);
    static QString DesAmbiente(const QVariant& ambiente);

    Query ADOQuery4;  // units
    Query ADOQuery1;  // identifiers
    Query ADOQuery2;  // addresses
    Query ADOQuery3;  // rooms

private:
    TdTabelle& dati_;
};
