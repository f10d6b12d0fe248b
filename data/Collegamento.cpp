#include "Collegamento.h"

#include "Campo.h"
#include "Errore.h"

namespace StringaDiConnessione {

ParametriConnessione analizza(const QString& stringa)
{
    if (stringa.trimmed().isEmpty())
        throw Errore(QStringLiteral("Impossibile connettersi al database: la stringa di connessione è vuota"));
    ParametriConnessione p;
    bool conProvider = false;
    for (const QString& parte : stringa.split(QLatin1Char(';'))) {
        const qsizetype uguale = parte.indexOf(QLatin1Char('='));
        if (uguale < 0)
            continue;
        const QString chiave = parte.left(uguale).trimmed();
        const QString valore = parte.mid(uguale + 1).trimmed();
        if (chiave.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
            p.provider = valore;
            conProvider = true;
        } else if (chiave.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
            p.file = valore;
        } else if (chiave.compare(QLatin1String("Busy Timeout"), Qt::CaseInsensitive) == 0) {
            const auto n = Conversione::intero(valore);
            if (!n || *n < 0 || *n > 24 * 3600)
                throw Errore(QStringLiteral("Impossibile connettersi al database: \"Busy Timeout\" vuole un numero di "
                                            "secondi fra 0 e 86400, non \"%1\"")
                                 .arg(valore));
            p.attesa = int(*n);
        }
    }
    // The Jet provider of the original installations and SQLite both mean the
    // embedded engine: old sorvel.ini files keep working.
    if (!conProvider)
        throw Errore(QStringLiteral("Impossibile connettersi al database: la stringa di connessione non indica il provider"));
    if (p.provider.compare(QLatin1String("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) != 0 &&
        p.provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) != 0)
        throw Errore(QStringLiteral("Provider \"%1\" non supportato: usare Microsoft.Jet.OLEDB.4.0 o SQLite").arg(p.provider));
    if (p.file.isEmpty())
        throw Errore(QStringLiteral("Impossibile connettersi al database: la stringa di connessione non indica il file (Data Source)"));
    return p;
}

}  // namespace StringaDiConnessione

Connessione& Collegamento::connessione()
{
    if (!db_) {
        if (primaDiConnettere)
            primaDiConnettere(*this);
        const ParametriConnessione p = StringaDiConnessione::analizza(stringa);
        db_ = std::make_unique<Connessione>(p.file, Connessione::Apertura::Esistente, p.attesa);
    }
    return *db_;
}
