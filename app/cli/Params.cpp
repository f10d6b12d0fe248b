#include "Cli.h"

#include "Errore.h"
#include "Parametri.h"
#include "dmTabelle.h"

#include <map>

namespace Cli {

int params(const QStringList& arg)
{
    static const std::map<QString, QString> colonne{
        {QStringLiteral("--codice"), QStringLiteral("Codice")},       {QStringLiteral("--nome"), QStringLiteral("Nome")},
        {QStringLiteral("--provincia"), QStringLiteral("Provincia")}, {QStringLiteral("--codfis"), QStringLiteral("CodFis")},
        {QStringLiteral("--indirizzo"), QStringLiteral("Indirizzo")}, {QStringLiteral("--telefono"), QStringLiteral("Telefono")},
        {QStringLiteral("--fax"), QStringLiteral("Fax")},             {QStringLiteral("--firma"), QStringLiteral("Firma")}};
    QList<std::pair<QString, QString>> valori;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        QString opzione = arg[i], valore;
        const qsizetype uguale = opzione.indexOf(QLatin1Char('='));
        if (uguale > 0) {
            valore = opzione.mid(uguale + 1);
            opzione.truncate(uguale);
        } else if (i + 1 < arg.size()) {
            valore = arg[++i];
        } else {
            throw Errore(QStringLiteral("Manca il valore dell'opzione %1").arg(opzione));
        }
        const auto it = colonne.find(opzione);
        if (it == colonne.end())
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(opzione));
        valori.append({it->second, valore});
    }
    TdTabelle d;
    avvia(d);
    if (d.tParametri.vuoto())
        throw Errore(QStringLiteral("La tabella tParametri non ha righe"));
    // As typed into the dialog's boxes: upper case but for the signature.
    for (const auto& [colonna, valore] : valori) {
        d.tParametri.modifica();
        d.tParametri.impostaTesto(colonna, colonna == QLatin1String("Firma") ? valore : valore.toUpper());
    }
    Parametri::conferma(d);
    for (const char* c : {"Codice", "Nome", "Provincia", "CodFis", "Indirizzo", "Telefono", "Fax", "Firma", "CAP"})
        out() << c << ": " << d.tParametri.testo(QString::fromLatin1(c)) << '\n';
    return 0;
}

}  // namespace Cli
