#pragma once
// A data set whose rows are given by the test, for the report engine alone.

#include "DataSet.h"
#include "Errore.h"

class DatiMemoria : public DataSet {
public:
    DatiMemoria(QList<DefCampo> campi, QList<QVariantList> righe)
        : DataSet(QStringLiteral("memoria")), campi_(std::move(campi)), righe_(std::move(righe))
    {
    }

protected:
    void carica(Archivio& a) override
    {
        definisciCampi(campi_);
        ValoreCampo v;
        for (const QVariantList& r : righe_)
            for (qsizetype c = 0; c < campi_.size(); ++c) {
                Conversione::normalizza(campi_[c], r.value(c), v);
                a.colonne[size_t(c)].aggiungi(v);
            }
    }
    void scrivi(const std::vector<ValoreCampo>&, qint64) override { throw Errore(QStringLiteral("sola lettura")); }

private:
    QList<DefCampo> campi_;
    QList<QVariantList> righe_;
};
