#include "DatabaseConsegnato.h"

#include "Connessione.h"
#include "Errore.h"
#include "ErroreDatabase.h"
#include "Motore.h"
#include "Schema.h"

#include <QFile>
#include <QTextStream>

static void caricaRisorse() { Q_INIT_RESOURCE(comuni); }

namespace DatabaseConsegnato {

namespace {

// The tables, the tParametri row and the municipalities, in one transaction.
int riempi(Connessione& db, bool sostituisci)
{
    // The list of municipalities ships inside the program (data/comuni).
    caricaRisorse();
    QFile tsv(QStringLiteral(":/comuni/comuni.tsv"));
    if (!tsv.open(QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Elenco dei comuni non disponibile"));

    Transazione tr(db);
    for (const DefTabella& t : Schema::tabelle())
        if (db.esisteTabella(t.nome)) {
            if (!sostituisci)
                throw Errore(QStringLiteral("Il database %1 contiene già le tabelle di Sorvel: usare --force per "
                                            "sostituirle")
                                 .arg(db.file()));
            Schema::elimina(db);
            break;
        }
    Schema::crea(db);
    db.esegui(QStringLiteral("INSERT INTO tParametri (Codice, Nome, Provincia, CodFis, Indirizzo, Telefono, Fax, Firma) "
                             "VALUES ('', '', '', '', '', '', '', '')"));

    const DefTabella& def = *Schema::tabella(u"tComuni");
    const std::unique_ptr<ScritturaMassiva> comuni = db.scritturaMassiva(def);
    std::vector<ValoreCampo> riga(size_t(def.campi.size()));
    QTextStream in(&tsv);
    in.setEncoding(QStringConverter::Utf8);
    in.readLine();  // column titles
    int n = 0;
    while (!in.atEnd()) {
        const QStringList campi = in.readLine().split(QLatin1Char('\t'));
        if (campi.size() != def.campi.size())
            continue;
        for (int i = 0; i < campi.size(); ++i)
            Conversione::daTesto(def.campi[i], campi[i], riga[size_t(i)]);
        comuni->aggiungi(riga);
        ++n;
    }
    comuni->scrivi();
    tr.conferma();
    return n;
}

int creaSuServer(const ParametriConnessione& p, bool sostituisci)
{
    const std::unique_ptr<Connessione> db = apriCreando(p);
    return riempi(*db, sostituisci);
}

}  // namespace

std::unique_ptr<Connessione> apriCreando(const ParametriConnessione& p)
{
    if (p.tipo != ParametriConnessione::Tipo::Server)
        return std::make_unique<Connessione>(p, Connessione::Apertura::Crea);
    try {
        return std::make_unique<Connessione>(p, Connessione::Apertura::Crea);
    } catch (const ErroreDatabase& e) {
        if (e.condizione() != CondizioneDb::DatabaseMancante)
            throw;
    }
    // created from the server's maintenance database, with texts in UTF-8
    QString nome = p.valoreServer(QStringLiteral("dbname"));
    nome.replace(QLatin1Char('"'), QLatin1String("\"\""));
    MotorePostgres::apri(p, QStringLiteral("postgres"))
        ->esegui(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' LOCALE 'C' TEMPLATE template0").arg(nome));
    return std::make_unique<Connessione>(p, Connessione::Apertura::Crea);
}

int crea(const ParametriConnessione& p, bool sostituisci)
{
    if (p.tipo == ParametriConnessione::Tipo::Server)
        return creaSuServer(p, sostituisci);
    return crea(p.file, sostituisci);
}

int crea(const QString& file, bool sostituisci)
{
    if (QFile::exists(file)) {
        if (!sostituisci)
            throw Errore(QStringLiteral("Il database \"%1\" esiste già: usare --force per sostituirlo").arg(file));
        for (const QString& f : {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm")})
            if (QFile::exists(f) && !QFile::remove(f))
                throw Errore(QStringLiteral("Impossibile sostituire il file \"%1\"").arg(f));
    }
    Connessione db(file, Connessione::Apertura::Crea);
    return riempi(db, false);
}

}  // namespace DatabaseConsegnato
