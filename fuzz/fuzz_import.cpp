// libFuzzer target: arbitrary bytes as a supply file through ImportaFile into
// a temporary database. Besides crashes and sanitizer reports it checks the
// import's promise: after every run either the load committed or the
// database is exactly as before.
//
// The first byte chooses how the rest is used: as the whole file, or with a
// summary record of the managing municipality appended, so that the runs get
// past the municipality check (the fuzzer cannot see into Qt's comparisons).
//
// Unless the command line says otherwise, inputs may hold a few dozen records
// from the start (-max_len=4096 -len_control=0: libFuzzer would otherwise grow
// its limit slowly from the small inputs and seldom pass one record), and the
// supply's tokens are in fuzz/fornitura.dict. fuzz/semi holds whole small
// supplies to start from:
//   build-fuzz/fuzz/fuzz_import -max_total_time=600 fuzz/corpus fuzz/semi
//
// The resident memory of a run grows with ASan's quarantine of freed blocks
// (256 MiB unless ASAN_OPTIONS=quarantine_size_mb says otherwise) and with
// SQLite's page cache as more pages of the database are read (at most its
// cache_size); the heap of the program itself stays flat from run to run.

#include "ArgomentiFuzz.h"
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
#include <cstring>
#include <string>
#include <vector>

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

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    PreparaArgomenti(argc, argv, "-max_len=4096", "-dict=" SORVEL_FUZZ_DIR "/fornitura.dict");
    cartella = new QTemporaryDir();
    QDir::setCurrent(cartella->path());
    std::atexit([] {
        delete dati;  // closes the database before its directory goes
        dati = nullptr;
        delete cartella;
    });
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    {
        Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
        db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
    }
    dati = new TdTabelle();
    dati->DataModuleCreate();
    // no waiting for the disk: a run is over in milliseconds, and durability is not on trial here
    dati->connessione().esegui(QStringLiteral("PRAGMA synchronous=OFF"));
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
        const RisultatoImport r = ImportaFile(*dati, QStringLiteral("input.txt"));
        // nobody else uses the database: the log is always folded back
        if (!r.avvisoRegistro.isEmpty()) {
            std::fprintf(stderr, "checkpoint failed: %s\n", qPrintable(r.avvisoRegistro));
            std::abort();
        }
        AvvisoRiepilogo(r);
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
    // Lines of other municipalities are stored under their own code and no
    // import deletes them: left to pile up, they made every later run slower
    // (the snapshot reads them all) and its outcome depend on the history.
    for (const char* t : {"tUnImm1", "tUnImm2", "tUnImm3", "tUnImm4", "tUnImm5_6", "tUnImm9"})
        dati->connessione().esegui(QStringLiteral("DELETE FROM %1 WHERE Codice IS NOT 'G479'").arg(QLatin1String(t)));
    return 0;
}
