#include "Parametri.h"

#include "dmTabelle.h"

namespace Parametri {

void conferma(TdTabelle& dati)
{
    DataSet& p = dati.tParametri;
    if (p.stato() != DataSet::Stato::Modifica && p.stato() != DataSet::Stato::Inserimento)
        return;
    const QString nome = p.testo(u"Nome").trimmed();
    p.impostaTesto(u"Nome", nome);
    // The municipality of that name, case included; the stored names carry
    // trailing blanks that do not count.
    const int r = dati.tComuni.trova(QStringLiteral("Nome"), {nome});
    if (r >= 0)
        p.impostaTesto(u"Codice", dati.tComuni.testoRiga(r, dati.tComuni.campo(u"CodiceCat")).trimmed());
    p.registra();
}

}  // namespace Parametri
