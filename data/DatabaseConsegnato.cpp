#include "DatabaseConsegnato.h"

#include "Connessione.h"
#include "Errore.h"
#include "Schema.h"

#include <QFile>
#include <QTextStream>

static void caricaRisorse() { Q_INIT_RESOURCE(comuni); }

namespace DatabaseConsegnato {

int crea(const QString& file, bool sostituisci)
{
    if (QFile::exists(file)) {
        if (!sostituisci)
            throw Errore(QStringLiteral("Il database \"%1\" esiste già: usare --force per sostituirlo").arg(file));
        for (const QString& f : {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm")})
            if (QFile::exists(f) && !QFile::remove(f))
                throw Errore(QStringLiteral("Impossibile sostituire il file \"%1\"").arg(f));
    }
    // The list of municipalities ships inside the program (data/comuni).
    caricaRisorse();
    QFile tsv(QStringLiteral(":/comuni/comuni.tsv"));
    if (!tsv.open(QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Elenco dei comuni non disponibile"));

    Connessione db(file, Connessione::Apertura::Crea);
    Transazione tr(db);
    Schema::crea(db);
    db.esegui(QStringLiteral("INSERT INTO tParametri (Codice, Nome, Provincia, CodFis, Indirizzo, Telefono, Fax, Firma) "
                             "VALUES ('', '', '', '', '', '', '', '')"));

    const DefTabella& def = *Schema::tabella(u"tComuni");
    Comando ins = db.prepara(QStringLiteral("INSERT INTO tComuni VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QTextStream in(&tsv);
    in.setEncoding(QStringConverter::Utf8);
    in.readLine();  // column titles
    int n = 0;
    while (!in.atEnd()) {
        const QStringList campi = in.readLine().split(QLatin1Char('\t'));
        if (campi.size() != def.campi.size())
            continue;
        for (int i = 0; i < campi.size(); ++i)
            ins.lega(i + 1, Conversione::daTesto(def.campi[i], campi[i]));
        ins.esegui();
        ++n;
    }
    tr.conferma();
    return n;
}

}  // namespace DatabaseConsegnato
