#include "ErroreDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace ErroriDatabase {

namespace {

// Engine result codes and their condition. Extended codes are looked up
// first, then the primary code (the low byte).
struct CodiceMotore {
    int codice;
    CondizioneDb condizione;
};
constexpr CodiceMotore codici[] = {
    {SQLITE_IOERR_NOMEM, CondizioneDb::Memoria},
    {SQLITE_BUSY, CondizioneDb::InUso},
    {SQLITE_LOCKED, CondizioneDb::InUso},
    {SQLITE_PROTOCOL, CondizioneDb::InUso},
    {SQLITE_READONLY, CondizioneDb::SolaLettura},
    {SQLITE_FULL, CondizioneDb::DiscoPieno},
    {SQLITE_IOERR, CondizioneDb::ErroreDisco},
    {SQLITE_CORRUPT, CondizioneDb::Danneggiato},
    {SQLITE_NOTADB, CondizioneDb::NonDatabase},
    {SQLITE_CANTOPEN, CondizioneDb::NonApribile},
    {SQLITE_PERM, CondizioneDb::Permesso},
    {SQLITE_AUTH, CondizioneDb::Permesso},
    {SQLITE_NOMEM, CondizioneDb::Memoria},
    {SQLITE_TOOBIG, CondizioneDb::TroppoGrande},
};

// One sentence per condition; %1 is the database file.
struct Frase {
    CondizioneDb condizione;
    const char* testo;
};
constexpr Frase frasi[] = {
    {CondizioneDb::InUso,
     "Il database \"%1\" è in uso da un'altra postazione (per esempio per un import): riprovare fra qualche minuto"},
    {CondizioneDb::SolaLettura,
     "Il database \"%1\" o la sua cartella è di sola lettura: chiedere all'amministratore il permesso di scrittura "
     "e riprovare"},
    {CondizioneDb::DiscoPieno, "Il disco del database \"%1\" è pieno: liberare spazio e riprovare"},
    {CondizioneDb::ErroreDisco,
     "Errore del disco leggendo o scrivendo il database \"%1\": controllare il disco (o la rete) e riprovare; "
     "se si ripete, ripristinare una copia di sicurezza"},
    {CondizioneDb::Danneggiato, "Il database \"%1\" è danneggiato: ripristinare una copia di sicurezza"},
    {CondizioneDb::NonDatabase,
     "Il file \"%1\" non è un database di Sorvel o è danneggiato: controllare sorvel.ini oppure ripristinare una "
     "copia di sicurezza"},
    {CondizioneDb::NonApribile,
     "Impossibile aprire il database \"%1\": controllare che il file e la sua cartella esistano e siano accessibili"},
    {CondizioneDb::Permesso,
     "Accesso negato al database \"%1\": controllare i permessi del file e della sua cartella"},
    {CondizioneDb::Memoria, "Memoria insufficiente: chiudere altri programmi e riprovare"},
    {CondizioneDb::TroppoGrande, "Un valore è troppo grande per il database \"%1\""},
};

QString nativo(const QString& p) { return QDir::toNativeSeparators(p); }

// Which file keeps the database unwritable. A run on a read-only database
// leaves its -shm (and -wal) read-only too, and they keep the database
// unwritable after the database itself has been fixed.
QString fraseSolaLettura(const QString& file)
{
    const QFileInfo db(file);
    const QFileInfo cartella(db.absolutePath());
    if (cartella.exists() && !cartella.isWritable())
        return QStringLiteral("La cartella \"%1\" del database è di sola lettura: chiedere all'amministratore il "
                              "permesso di scrittura sulla cartella e riprovare")
            .arg(nativo(cartella.absoluteFilePath()));
    if (db.exists() && !db.isWritable())
        return QStringLiteral("Il database \"%1\" è di sola lettura: chiedere all'amministratore il permesso di "
                              "scrittura sul file e riprovare")
            .arg(nativo(file));
    for (const char* suffisso : {"-wal", "-shm"}) {
        const QFileInfo compagno(file + QLatin1String(suffisso));
        if (compagno.exists() && !compagno.isWritable())
            return QStringLiteral("Il file \"%1\" è rimasto di sola lettura da un uso del database in sola lettura: "
                                  "renderlo scrivibile come \"%2\" (oppure eliminarlo mentre nessuno usa il "
                                  "programma) e riprovare")
                .arg(nativo(compagno.filePath()), nativo(file));
    }
    return {};
}

}  // namespace

CondizioneDb condizione(int codice)
{
    for (const CodiceMotore& c : codici)
        if (c.codice == codice)
            return c.condizione;
    for (const CodiceMotore& c : codici)
        if (c.codice == (codice & 0xFF))
            return c.condizione;
    return CondizioneDb::Altro;
}

QString frase(CondizioneDb c, const QString& file)
{
    if (c == CondizioneDb::SolaLettura) {
        const QString f = fraseSolaLettura(file);
        if (!f.isEmpty())
            return f;
    }
    for (const Frase& f : frasi)
        if (f.condizione == c) {
            const QString t = QString::fromUtf8(f.testo);
            return t.contains(QLatin1String("%1")) ? t.arg(nativo(file)) : t;
        }
    return {};
}

CondizioneDb condizioneServer(const QString& stato)
{
    // exact codes first, then the class (the first two characters)
    static const std::pair<const char*, CondizioneDb> codici[] = {
        {"55P03", CondizioneDb::InUso},        {"40P01", CondizioneDb::InUso},
        {"40001", CondizioneDb::InUso},        {"55006", CondizioneDb::InUso},
        {"53100", CondizioneDb::DiscoPieno},   {"53200", CondizioneDb::Memoria},
        {"42501", CondizioneDb::Permesso},     {"25006", CondizioneDb::SolaLettura},
        {"58030", CondizioneDb::ErroreDisco},  {"XX001", CondizioneDb::Danneggiato},
        {"XX002", CondizioneDb::Danneggiato},  {"54000", CondizioneDb::TroppoGrande},
        {"28P01", CondizioneDb::AccessoNegato}, {"3D000", CondizioneDb::DatabaseMancante},
        {"57P01", CondizioneDb::ConnessionePersa}, {"57P02", CondizioneDb::ConnessionePersa},
        {"57P03", CondizioneDb::ConnessionePersa},
    };
    for (const auto& [codice, c] : codici)
        if (stato == QLatin1String(codice))
            return c;
    if (stato.startsWith(QLatin1String("08")))
        return CondizioneDb::ConnessionePersa;
    if (stato.startsWith(QLatin1String("28")))
        return CondizioneDb::AccessoNegato;
    if (stato.startsWith(QLatin1String("53")))
        return CondizioneDb::Memoria;
    return CondizioneDb::Altro;
}

ErroreDatabase erroreServer(CondizioneDb c, const QString& originale, const QString& database)
{
    // %1 names the database and its server: "sorvel" sul server host:5432
    static const std::pair<CondizioneDb, const char*> frasiServer[] = {
        {CondizioneDb::InUso,
         "Il database %1 è in uso da un'altra postazione (per esempio per un import): riprovare fra qualche minuto"},
        {CondizioneDb::SolaLettura,
         "Il database %1 è di sola lettura (un server di sola consultazione?): controllare Host in sorvel.ini"},
        {CondizioneDb::DiscoPieno, "Il disco del server del database %1 è pieno: avvisare l'amministratore del server"},
        {CondizioneDb::ErroreDisco,
         "Errore del disco del server leggendo o scrivendo il database %1: avvisare l'amministratore del server"},
        {CondizioneDb::Danneggiato, "Il database %1 è danneggiato: avvisare l'amministratore del server"},
        {CondizioneDb::Permesso,
         "L'utente indicato in sorvel.ini non ha i permessi necessari sul database %1: chiedere all'amministratore "
         "del server"},
        {CondizioneDb::Memoria, "Memoria insufficiente sul server del database %1: riprovare più tardi"},
        {CondizioneDb::TroppoGrande, "Un valore è troppo grande per il database %1"},
        {CondizioneDb::ServerNonRaggiungibile,
         "Impossibile raggiungere il database %1: controllare che il server sia acceso e raggiungibile dalla "
         "rete e che Host e Port in sorvel.ini siano giusti"},
        {CondizioneDb::AccessoNegato,
         "Il server ha rifiutato l'accesso al database %1: controllare User ID e Password in sorvel.ini"},
        {CondizioneDb::DatabaseMancante,
         "Il database %1 non esiste: controllare Database in sorvel.ini, oppure crearlo con sorvel-cli init-db"},
        {CondizioneDb::ConnessionePersa,
         "La connessione al database %1 si è interrotta (server arrestato o rete assente): l'operazione in corso "
         "non è stata completata e le sue modifiche non sono state salvate; riprovare quando il server è di nuovo "
         "raggiungibile"},
    };
    const QString dettaglio = originale.trimmed();
    for (const auto& [condizione, testo] : frasiServer)
        if (condizione == c)
            return ErroreDatabase(c, QString::fromUtf8(testo).arg(database) + QStringLiteral(". Dettaglio tecnico: ") +
                                         dettaglio);
    return ErroreDatabase(c, dettaglio);
}

ErroreDatabase errore(int codice, const QString& originale, const QString& file)
{
    const CondizioneDb c = condizione(codice);
    const QString f = frase(c, file);
    if (f.isEmpty())
        return ErroreDatabase(c, originale);
    QString dettaglio = originale.trimmed();
    if (dettaglio.isEmpty())
        dettaglio = QString::fromUtf8(sqlite3_errstr(codice));
    return ErroreDatabase(c, f + QStringLiteral(". Dettaglio tecnico: ") + dettaglio);
}

}  // namespace ErroriDatabase
