#include "CampoDati.h"

#include "DataSet.h"
#include "Errore.h"
#include "Messaggi.h"

CampoDati::CampoDati(DataSet& ds, const QString& campo, QWidget* parent) : QLineEdit(parent), ds_(&ds), campo_(campo)
{
    setObjectName(campo);
    connect(ds_, &DataSet::rigaCambiata, this, &CampoDati::aggiorna);
    connect(ds_, &DataSet::datiCambiati, this, &CampoDati::aggiorna);
    connect(this, &QLineEdit::textEdited, this, &CampoDati::scritto);
    aggiorna();
}

void CampoDati::aggiorna()
{
    QString t;
    if (ds_ && ds_->aperto() && !ds_->vuoto())
        t = ds_->testo(campo_);
    if (t != text())
        setText(t);
}

void CampoDati::scritto(const QString& testo)
{
    if (!ds_ || isReadOnly())
        return;
    try {
        ds_->impostaTesto(campo_, testo);  // begins editing the row when it is not yet
    } catch (const Errore& e) {
        Messaggi::erroreStandard(window(), e.testo());
        aggiorna();
    }
}
