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
    QList<Argomenti::Opzione> accettate;
    for (const auto& [opzione, colonna] : colonne)
        accettate.append({opzione});
    const Argomenti a(arg, accettate, 0, 0,
                      QStringLiteral("Uso: sorvel-cli params [--codice C] [--nome N] [--provincia P] [--codfis X] "
                                     "[--indirizzo I] [--telefono T] [--fax F] [--firma S]"));
    QList<std::pair<QString, QString>> valori;
    for (const auto& [opzione, valore] : a.valori())
        valori.append({colonne.at(opzione), valore});
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
