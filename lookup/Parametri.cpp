#include "Parametri.h"

#include "dmTabelle.h"

namespace Parametri {

namespace {
bool inModifica(const DataSet& ds)
{
    return ds.stato() == DataSet::Stato::Modifica || ds.stato() == DataSet::Stato::Inserimento;
}
}  // namespace

void conferma(TdTabelle& dati)
{
    DataSet& p = dati.tParametri;
    if (!inModifica(p))
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

void sceltaComune(TdTabelle& dati, const QString& codiceRiepilogo, const QString& codice, const QString& comune)
{
    if (codice == codiceRiepilogo)
        return;
    DataSet& p = dati.tParametri;
    if (!inModifica(p))
        p.modifica();
    p.impostaTesto(u"Codice", codice);
    p.impostaTesto(u"Nome", comune);
}

void copiaComune(TdTabelle& dati, const QString& codice, const QString& nome)
{
    DataSet& p = dati.tParametri;
    p.modifica();
    p.impostaTesto(u"Codice", codice.trimmed());
    p.impostaTesto(u"Nome", nome.trimmed());
}

const QStringList& sqlComuniForniti()
{
    static const QStringList s{
        QStringLiteral("SELECT tUnImm9.Codice, tComuni.Nome AS Comune"),
        QStringLiteral("FROM tUnImm9"),
        QStringLiteral("LEFT JOIN tComuni ON tUnImm9.Codice = tComuni.CodiceCat"),
    };
    return s;
}

QString tabellaQuadrature(const DataSet& riepilogo)
{
    QStringList righe;
    if (!riepilogo.aperto() || riepilogo.vuoto())  // vuoto() also loads a table not read yet
        return QString();
    for (int n = 1; n <= 10; ++n) {
        if (riepilogo.testo(QStringLiteral("Tipo%1").arg(n)).isEmpty())
            continue;
        righe.append(QString::number(riepilogo.intero(QStringLiteral("Valore%1").arg(n))) + QStringLiteral(" - ") +
                     riepilogo.testo(QStringLiteral("DesTipo%1").arg(n)));
    }
    return righe.join(QLatin1Char('\n'));
}

}  // namespace Parametri
