// Benchmark of the dossier of a large owner: a company with 2,000 units in a
// city of 1,000,000 units. Measures opening the dossier (unit list, first
// unit's details, surface comparison) and moving the selection, which reruns
// the identifier, address and room lists; prints the query plans, which must
// be index look-ups, not scans.
//
//   bench_dossier [UNITA=1000000] [CARTELLA]

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "DossierSoggetto.h"
#include "Errore.h"
#include "Processo.h"
#include "FileTesto.h"
#include "dmTabelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
double msDa(Orologio::time_point t) { return std::chrono::duration<double, std::milli>(Orologio::now() - t).count(); }
constexpr qint64 societa = 999999;
constexpr int unitaSocieta = 2000;

void genera(int unita)
{
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
    Transazione tr(db);
    Comando u1 = db.prepara(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, "
                                           "Superficie, EsitoSup) VALUES ('G479', '', ?, 1, 'A02', ?, '1')"));
    Comando u2 = db.prepara(QStringLiteral("INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio, "
                                           "Numero, Subalterno) VALUES ('G479', '', ?, 1, 1, ?, ?, '1')"));
    Comando u3 = db.prepara(QStringLiteral("INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, "
                                           "Toponimo, Denominazione, Civico1, Fonte) VALUES ('G479', '', ?, 1, 1, 'VIA', "
                                           "'GIOACCHINO ROSSINI', ?, 1)"));
    Comando u4 = db.prepara(QStringLiteral("INSERT INTO tUnImm4 (Codice, Sezione, Immobile, Progressivo, ProgrRec, "
                                           "Ambiente, SupAmbiente, Altezza, MaxAltezza) VALUES ('G479', '', ?, 1, ?, ?, ?, 270, 300)"));
    Comando u5 = db.prepara(QStringLiteral("INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, "
                                           "Soggetto, Denominazione, CodFisc) VALUES ('G479', '', ?, 1, 1, ?, ?, ?, ?)"));
    const int passo = unita / unitaSocieta;
    for (int i = 0; i < unita; ++i) {
        const bool dellaSocieta = i % passo == 0 && i / passo < unitaSocieta;
        u1.lega(1, qint64(i));
        u1.lega(2, qint64(40 + i % 120));
        u1.esegui();
        u2.lega(1, qint64(i));
        u2.lega(2, QVariant(QString::number(1 + i % 400)));
        u2.lega(3, QVariant(QString::number(i % 9000)));
        u2.esegui();
        u3.lega(1, qint64(i));
        u3.lega(2, QVariant(QString::number(1 + i % 200)));
        u3.esegui();
        for (int k = 0; k < 3; ++k) {
            u4.lega(1, qint64(i));
            u4.lega(2, qint64(k + 1));
            u4.lega(3, QVariant(QString(QChar(u'A' + k))));
            u4.lega(4, qint64(10 + k * 7));
            u4.esegui();
        }
        u5.lega(1, qint64(i));
        u5.lega(2, QVariant(dellaSocieta ? QStringLiteral("G") : QStringLiteral("F")));
        u5.lega(3, dellaSocieta ? societa : qint64(100000 + i / 2));
        u5.lega(4, QVariant(dellaSocieta ? QStringLiteral("IMMOBILIARE GRANDE CITTÀ S.P.A.")
                                         : QStringLiteral("PROPRIETARIO %1").arg(i / 2)));
        u5.lega(5, QVariant(QStringLiteral("%1").arg(i, 16, 10, QLatin1Char('0'))));
        u5.esegui();
    }
    tr.conferma();
}

void piano(Connessione& db, const QString& sql)
{
    Comando c = db.prepara(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    while (c.passo())
        std::printf("    %s\n", qPrintable(c.testo(3)));
}

void percentili(const char* cosa, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%s: %zu volte, mediana %.3f ms, p99 %.3f ms, max %.3f ms\n", cosa, v.size(), v[v.size() / 2],
                v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back());
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int unita = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    try {
        auto t = Orologio::now();
        genera(unita);
        std::printf("bench_dossier: %d unità, la società %lld ne ha %d (generate in %.1f s)\n", unita, societa,
                    unitaSocieta, msDa(t) / 1000);

        TdTabelle dati;
        dati.DataModuleCreate();
        DossierSoggetto d(dati);
        std::vector<double> aperture;
        for (int i = 0; i < 5; ++i) {
            t = Orologio::now();
            d.apri(societa);
            const Confronto c = d.confronta(societa, 0);
            aperture.push_back(msDa(t));
            if (d.ADOQuery4.righe() != unitaSocieta || c.totaleTesto.isEmpty())
                throw Errore(QStringLiteral("dossier sbagliato: %1 unità").arg(d.ADOQuery4.righe()));
        }
        percentili("apertura del dossier (unità, dettagli della prima, confronto)", aperture);

        std::vector<double> spostamenti;
        for (int r = 1; r < d.ADOQuery4.righe(); ++r) {
            t = Orologio::now();
            d.ADOQuery4.vaiA(r);
            spostamenti.push_back(msDa(t));
            if (d.ADOQuery1.righe() != 1 || d.ADOQuery2.righe() != 1 || d.ADOQuery3.righe() != 3)
                throw Errore(QStringLiteral("dettagli sbagliati alla riga %1").arg(r));
        }
        percentili("cambio dell'unità selezionata (tre liste)", spostamenti);

        std::printf("\npiani delle query:\n  unità del soggetto\n");
        Connessione& db = dati.connessione();
        piano(db, d.ADOQuery4.testoSql().replace(QLatin1String(":Soggetto"), QString::number(societa)));
        const QString chiave = QStringLiteral("'1'");
        for (Query* q : {&d.ADOQuery1, &d.ADOQuery2, &d.ADOQuery3}) {
            std::printf("  %s\n", qPrintable(q->nome()));
            piano(db, q->testoSql()
                          .replace(QLatin1String(":Progressivo"), chiave)
                          .replace(QLatin1String(":Immobile"), QStringLiteral("5"))
                          .replace(QLatin1String(":Sezione"), QStringLiteral("''"))
                          .replace(QLatin1String(":Codice"), QStringLiteral("'G479'")));
        }
        std::printf("  confronto delle superfici\n");
        dati.qGeneric.chiudi();
        (void)ConfrontoSuperfici(dati, QStringLiteral("G479"), societa, 0);
        piano(db, dati.qGeneric.testoSql());
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
    return 0;
}
