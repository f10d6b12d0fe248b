// libFuzzer target: arbitrary bytes as a supply file through ImportaFile into
// a temporary database. Besides crashes and sanitizer reports it checks the
// import's promise: after every run either the load committed or the
// database is exactly as before.
//
// The first byte chooses how the rest is used: as the whole file, or with a
// summary record of the managing municipality appended, so that the runs get
// past the municipality check (the fuzzer cannot see into Qt's comparisons).

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "FileTesto.h"
#include "ImportaFile.h"
#include "dmTabelle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* cartella = nullptr;
TdTabelle* dati = nullptr;

// Every supply row of every table, in a fixed order, as one text.
QByteArray istantanea()
{
    QByteArray s;
    Comando c = dati->connessione().prepara(QStringLiteral(
        "SELECT 'A', * FROM (SELECT Codice, Sezione, Immobile, Progressivo, Superficie, EsitoSup FROM tUnImm1 ORDER BY rowid) "
        "UNION ALL SELECT 'B', * FROM (SELECT Codice, Immobile, ProgrRec, Foglio, Numero, Denominatore FROM tUnImm2 ORDER BY rowid) "
        "UNION ALL SELECT 'C', * FROM (SELECT Codice, Immobile, ProgrRec, Denominazione, Strada, CAP FROM tUnImm3 ORDER BY rowid) "
        "UNION ALL SELECT 'D', * FROM (SELECT Codice, Immobile, ProgrRec, Ambiente, SupAmbiente, Altezza FROM tUnImm4 ORDER BY rowid) "
        "UNION ALL SELECT 'E', * FROM (SELECT Codice, Immobile, ProgrRec, Soggetto, Denominazione, NData FROM tUnImm5_6 ORDER BY rowid) "
        "UNION ALL SELECT 'F', * FROM (SELECT Codice, Sezione, EData, TotUIU, Tipo1, DesTipo1 FROM tUnImm9 ORDER BY rowid)"));
    while (c.passo()) {
        for (int i = 0; i < c.colonne(); ++i) {
            const auto u = c.utf8(i);
            s.append(c.tipo(i) == Comando::Tipo::Nullo ? "\x01" : QByteArray(u.data(), qsizetype(u.size())));
            s.append('\x02');
        }
        s.append('\n');
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    cartella = new QTemporaryDir();
    QDir::setCurrent(cartella->path());
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    {
        Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
        db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
    }
    dati = new TdTabelle();
    dati->DataModuleCreate();
    // a previous supply, which a failing run must leave as it is
    ScriviFileTesto(QStringLiteral("prima.txt"),
                    QStringLiteral("G479||1|1|1|A02|0|90|1||||||||||||||\r\nG479||1|1|5|7|ROSSI|ANNA|2|01011970|H501|X||||||\r\n"
                                   "G479||1|1|4|A|90|270|270|\r\nD488||2|1|2||1|10||5||\r\nG479||9|30112026|8|\r\n"));
    ImportaFile(*dati, QStringLiteral("prima.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati8, size_t n)
{
    if (n == 0)
        return 0;
    QByteArray contenuto(reinterpret_cast<const char*>(dati8) + 1, qsizetype(n - 1));
    if (dati8[0] & 1)
        contenuto += "\r\nG479||9|30112026|8|\r\n";
    {
        QFile f(QStringLiteral("input.txt"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(contenuto);
    }
    const QByteArray prima = istantanea();
    bool riuscito = true;
    try {
        ImportaFile(*dati, QStringLiteral("input.txt"));
    } catch (const Errore&) {
        riuscito = false;
    }
    if (!riuscito && istantanea() != prima) {
        std::fprintf(stderr, "a failed import changed the database\n");
        std::abort();
    }
    if (dati->connessione().inTransazione()) {
        std::fprintf(stderr, "a transaction was left open\n");
        std::abort();
    }
    return 0;
}
