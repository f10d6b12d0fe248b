// libFuzzer target: arbitrary bytes as a roll file through CaricaRuolo into a
// temporary database holding a small supply. Besides crashes and sanitizer
// reports it checks the load's promises: after every run either the load
// committed (one row per line, the figures agreeing with the surfaces) or
// tRsuTot is exactly as before; no transaction is left open; the owner list
// stands on its first row.
//
// Unless the command line says otherwise, inputs may hold about forty roll
// lines from the start (-max_len=8192 -len_control=0: libFuzzer would
// otherwise keep them within a line or two), and the roll's tokens are in
// fuzz/ruolo.dict; fuzz/corpus_verify starts from small real rolls:
//   build-fuzz/fuzz/fuzz_verify -max_total_time=600 fuzz/corpus_verify
//
// The resident memory grows with ASan's quarantine of freed blocks and with
// SQLite's page cache; without the quarantine it stays flat from run to run.

#include "ArgomentiFuzz.h"
#include "CaricaRuolo.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Query.h"
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
Query* elenco = nullptr;

void fallisce(const char* perche)
{
    std::fprintf(stderr, "%s\n", perche);
    std::abort();
}

// Every row of tRsuTot, in order, as one text.
QByteArray istantanea()
{
    QByteArray s;
    Comando c = dati->connessione().prepara(QStringLiteral("SELECT * FROM tRsuTot ORDER BY rowid"));
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

qint64 intero(const QString& sql)
{
    Comando c = dati->connessione().prepara(sql);
    c.passo();
    return c.intero(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    PreparaArgomenti(argc, argv, "-max_len=8192", "-dict=" SORVEL_FUZZ_DIR "/ruolo.dict");
    cartella = new QTemporaryDir();
    QDir::setCurrent(cartella->path());
    std::atexit([] {
        delete elenco;  // the owner list and the database close before their directory goes
        elenco = nullptr;
        delete dati;
        dati = nullptr;
        delete cartella;
    });
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    {
        // a person with two units, a company, an owner without surface, one of another municipality
        Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
        db.esegui(QStringLiteral(
            "UPDATE tParametri SET Codice = 'G479';"
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
            "('G479', '', 1, 1, 60), ('G479', '', 2, 1, 41), ('G479', '', 3, 1, 200), ('G479', '', 4, 1, NULL), "
            "('H501', '', 5, 1, 90);"
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
            "Cognome, Nome, NData, CodFisc) VALUES "
            "('G479', '', 1, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'RSSMRA50B01G479X'),"
            "('G479', '', 2, 1, 1, 'F', 7, 'ROSSI MARIO', 'ROSSI', 'MARIO', '1950-02-01', 'RSSMRA50B01G479X'),"
            "('G479', '', 3, 1, 1, 'G', 9, 'EDILIZIA ADRIATICA S.R.L.', NULL, NULL, NULL, '01234567890'),"
            "('G479', '', 4, 1, 1, 'F', 10, 'BIANCHI ANNA', 'BIANCHI', 'ANNA', '1960-04-03', ''),"
            "('H501', '', 5, 1, 1, 'F', 11, 'VERDI LUCA', 'VERDI', 'LUCA', '1970-06-05', 'VRDLCU70H05H501W')"));
    }
    dati = new TdTabelle();
    dati->DataModuleCreate();
    // no waiting for the disk: a run is over in milliseconds, and durability is not on trial here
    dati->connessione().esegui(QStringLiteral("PRAGMA synchronous=OFF"));
    elenco = new Query(dati->ADOConnection1, QStringLiteral("ADOQuery1"));
    ElencoSoggetti::apri(*elenco, *dati);
    // a previous load, which a failing run must leave as it is
    ScriviFileTesto(QStringLiteral("prima.txt"),
                    QStringLiteral("123").rightJustified(6) + QStringLiteral("ROSSI").leftJustified(30) +
                        QStringLiteral("MARIO").leftJustified(30) + QStringLiteral("01/02/1950") +
                        QStringLiteral("XYZ").leftJustified(16) + QStringLiteral("70").rightJustified(6) +
                        QStringLiteral("VIA ROMA 1\r\n"));
    CaricaRuolo(*dati, *elenco, QStringLiteral("prima.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* byte, size_t n)
{
    {
        QFile f(QStringLiteral("ruolo.txt"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(byte), qint64(n));
    }
    elenco->ultimo();
    const QByteArray prima = istantanea();
    bool riuscito = true;
    RisultatoRuolo r;
    try {
        r = CaricaRuolo(*dati, *elenco, QStringLiteral("ruolo.txt"));
    } catch (const Errore&) {
        riuscito = false;
    }
    if (dati->connessione().inTransazione())
        fallisce("a transaction was left open");
    if (elenco->rigaCorrente() != 0 || elenco->seguitoSospeso())
        fallisce("the owner list is not back on its first row, followed by its views");
    if (!riuscito) {
        if (istantanea() != prima)
            fallisce("a failed load changed tRsuTot");
        return 0;
    }
    if (intero(QStringLiteral("SELECT COUNT(*) FROM tRsuTot")) != r.righe || r.righe < 1)
        fallisce("not one row per line");
    if (intero(QStringLiteral("SELECT COUNT(*) FROM tRsuTot WHERE Presente = ''")) != r.trovati)
        fallisce("the found taxpayers and the rows marked found differ");
    // the figures of a found taxpayer agree with its surfaces; a missing one has none
    if (intero(QStringLiteral(
            "SELECT COUNT(*) FROM tRsuTot WHERE (Presente = '' AND (Differenza IS NOT IFNULL(Superficie, 0) - IFNULL(Ruolo, 0) "
            "OR Dichiarabile IS NOT CAST(round(IFNULL(Superficie, 0) * 0.8) AS INTEGER) "
            "OR Accertabile IS NOT Dichiarabile - IFNULL(Ruolo, 0) OR Superficie NOT IN (101, 200) AND Superficie IS NOT NULL)) "
            "OR (Presente = '*' AND (Superficie IS NOT NULL OR Differenza IS NOT NULL OR Dichiarabile IS NOT NULL "
            "OR Accertabile IS NOT NULL)) OR Presente NOT IN ('', '*')")) != 0)
        fallisce("a stored row's figures do not agree");
    return 0;
}
