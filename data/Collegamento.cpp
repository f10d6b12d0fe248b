#include "Collegamento.h"

#include "Campo.h"
#include "Errore.h"

namespace StringaDiConnessione {

namespace {
bool uguale(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The server client's keyword for a key of the connection string: the names
// an ADO connection string uses, else the key itself in lower case, blanks
// as underscores ("Connect Timeout" -> connect_timeout).
QString parolaServer(const QString& chiave)
{
    static const std::pair<const char*, const char*> sinonimi[] = {
        {"Data Source", "host"}, {"Server", "host"},     {"Host", "host"},        {"Port", "port"},
        {"Database", "dbname"},  {"Initial Catalog", "dbname"}, {"User ID", "user"}, {"UID", "user"},
        {"User", "user"},        {"Username", "user"},   {"Password", "password"}, {"PWD", "password"},
        {"Timeout", "connect_timeout"},
    };
    for (const auto& [ado, pg] : sinonimi)
        if (uguale(chiave, ado))
            return QString::fromLatin1(pg);
    return chiave.toLower().replace(QLatin1Char(' '), QLatin1Char('_'));
}
}  // namespace

ParametriConnessione analizza(const QString& stringa)
{
    if (stringa.trimmed().isEmpty())
        throw Errore(QStringLiteral("Impossibile connettersi al database: la stringa di connessione è vuota"));
    ParametriConnessione p;
    bool conProvider = false;
    QList<std::pair<QString, QString>> altre;
    for (const QString& parte : stringa.split(QLatin1Char(';'))) {
        const qsizetype segno = parte.indexOf(QLatin1Char('='));
        if (segno < 0)
            continue;
        const QString chiave = parte.left(segno).trimmed();
        const QString valore = parte.mid(segno + 1).trimmed();
        if (uguale(chiave, "Provider")) {
            p.provider = valore;
            conProvider = true;
        } else if (uguale(chiave, "Busy Timeout")) {
            const auto n = Conversione::intero(valore);
            if (!n || *n < 0 || *n > 24 * 3600)
                throw Errore(QStringLiteral("Impossibile connettersi al database: \"Busy Timeout\" vuole un numero di "
                                            "secondi fra 0 e 86400, non \"%1\"")
                                 .arg(valore));
            p.attesa = int(*n);
        } else if (uguale(chiave, "Persist Security Info")) {
            // an ADO setting with no meaning here
        } else {
            altre.append({chiave, valore});
        }
    }
    if (!conProvider)
        throw Errore(QStringLiteral("Impossibile connettersi al database: la stringa di connessione non indica il provider"));
    // The Jet provider of the original installations and SQLite both mean the
    // embedded engine: old sorvel.ini files keep working.
    if (uguale(p.provider, "Microsoft.Jet.OLEDB.4.0") || uguale(p.provider, "SQLite")) {
        for (const auto& [chiave, valore] : altre)
            if (uguale(chiave, "Data Source"))
                p.file = valore;
        if (p.file.isEmpty())
            throw Errore(QStringLiteral(
                "Impossibile connettersi al database: la stringa di connessione non indica il file (Data Source)"));
        return p;
    }
    if (!uguale(p.provider, "PostgreSQL"))
        throw Errore(QStringLiteral("Provider \"%1\" non supportato: usare Microsoft.Jet.OLEDB.4.0 o SQLite (un file), "
                                    "oppure PostgreSQL (un server)")
                         .arg(p.provider));
    p.tipo = ParametriConnessione::Tipo::Server;
    for (const auto& [chiave, valore] : altre) {
        const QString parola = parolaServer(chiave);
        // a key given twice: the last one counts, as in the client library
        p.server.removeIf([&](const auto& kv) { return kv.first == parola; });
        p.server.append({parola, valore});
    }
    if (p.valoreServer(QStringLiteral("dbname")).isEmpty())
        throw Errore(QStringLiteral(
            "Impossibile connettersi al database: la stringa di connessione non indica il database sul server (Database)"));
    return p;
}

}  // namespace StringaDiConnessione

Connessione& Collegamento::connessione()
{
    if (!db_) {
        if (primaDiConnettere)
            primaDiConnettere(*this);
        const ParametriConnessione p = StringaDiConnessione::analizza(stringa);
        db_ = std::make_unique<Connessione>(p, Connessione::Apertura::Esistente);
    }
    return *db_;
}
