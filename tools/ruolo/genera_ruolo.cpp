// Writes a waste-tax roll (rsutot.txt, the waste-tax program's fixed-width
// file in Windows-1252) for the owners of the managing municipality of a
// database, so that a demo can try the roll verification, the control
// listing and the letters.
//
//   genera_ruolo DATABASE RUOLO
//
// Deterministic. Most owners declare about their cadastral surface; about a
// third declare less than 80 % of it (they get a letter); a few are found
// only by tax code (their first name misspelt); a few taxpayers are not in
// the supply at all; one in twenty declares nothing.

#include "Connessione.h"
#include "Errore.h"
#include "FileTesto.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <cstdio>

namespace {

QString campo(const QString& t, int larghezza, bool destra = false)
{
    return destra ? t.rightJustified(larghezza, QLatin1Char(' '), true) : t.leftJustified(larghezza, QLatin1Char(' '), true);
}

struct Caso {
    quint64 s = 20261210;
    int sotto(int n)
    {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return int((s >> 33) % quint64(n));
    }
};

const char* const vie[] = {"VIA ROSSINI", "VIA BRANCA", "VIALE TRIESTE", "VIA SAN FRANCESCO", "PIAZZALE LAZZARINI",
                           "VIA MAMELI", "STRADA DELLE MARCHE"};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Uso: genera_ruolo DATABASE RUOLO\n");
        return 2;
    }
    try {
        Connessione db(QString::fromLocal8Bit(argv[1]), Connessione::Apertura::Esistente);
        // each owner of the managing municipality once, with the cadastral
        // surface of all its units
        Comando q = db.prepara(QStringLiteral(
            "SELECT o.Soggetto, o.Cognome, o.Nome, o.Denominazione, o.NData, o.CodFisc, "
            "(SELECT SUM(u.Superficie) FROM tUnImm5_6 AS p INNER JOIN tUnImm1 AS u ON u.Codice = p.Codice "
            "AND u.Sezione = p.Sezione AND u.Immobile = p.Immobile AND u.Progressivo = p.Progressivo "
            "WHERE p.Codice = o.Codice AND p.Soggetto = o.Soggetto) AS Totale "
            "FROM tUnImm5_6 AS o WHERE o.Codice = (SELECT Codice FROM tParametri) "
            "AND o.ProgrRec = (SELECT MIN(ProgrRec) FROM tUnImm5_6 AS m WHERE m.Codice = o.Codice "
            "AND m.Sezione = o.Sezione AND m.Immobile = o.Immobile AND m.Progressivo = o.Progressivo "
            "AND m.Soggetto = o.Soggetto) "
            "GROUP BY o.Soggetto ORDER BY o.Soggetto"));
        QFile f(QString::fromLocal8Bit(argv[2]));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Errore(QStringLiteral("Impossibile scrivere %1: %2").arg(f.fileName(), f.errorString()));
        Caso caso;
        int righe = 0;
        auto scrivi = [&](const QString& cognome, const QString& nome, const QString& data, const QString& codFisc,
                          const QString& ruolo) {
            ++righe;
            const QString riga = campo(QString::number(righe), 6, true) + campo(cognome, 30) + campo(nome, 30) +
                                 campo(data, 10) + campo(codFisc, 16) + campo(ruolo, 6, true) +
                                 campo(QStringLiteral("%1 %2").arg(QLatin1String(vie[caso.sotto(7)])).arg(1 + caso.sotto(120)), 50) +
                                 campo(QStringLiteral("PESARO"), 50);
            f.write(Cp1252::codifica(riga) + "\r\n");
        };
        while (q.passo()) {
            QString cognome = q.testo(1), nome = q.testo(2);
            const QString denominazione = q.testo(3);
            const QString nData = q.testo(4);
            const QDate nascita = QDate::fromString(nData.left(10), Qt::ISODate);
            const QString codFisc = q.testo(5);
            const qint64 totale = q.intero(6);
            const int scelta = caso.sotto(100);
            if (!nascita.isValid()) {
                // a company: its name split across the two fields
                cognome = denominazione.left(30);
                nome = denominazione.mid(30);
            }
            qint64 dichiarata = totale;
            if (scelta < 35)
                dichiarata = totale * (30 + caso.sotto(45)) / 100;  // below 80 %: a letter
            else
                dichiarata = totale * (85 + caso.sotto(30)) / 100;
            const QString ruolo = caso.sotto(20) == 0 ? QString() : QString::number(dichiarata);
            const QString data = nascita.isValid() ? nascita.toString(QStringLiteral("dd/MM/yyyy")) : QString();
            if (scelta >= 92 && nascita.isValid())
                scrivi(cognome, nome + QStringLiteral(" BIS"), data, codFisc, ruolo);  // found by tax code only
            else
                scrivi(cognome, nome, data, codFisc, ruolo);
        }
        for (int i = 1; i <= 5; ++i)
            scrivi(QStringLiteral("FORESTIERI"), QStringLiteral("OSPITE %1").arg(i),
                   QDate(1950 + 7 * i, i, 10 + i).toString(QStringLiteral("dd/MM/yyyy")),
                   QStringLiteral("FRSSPT%1A01H501X").arg(50 + i), QString::number(40 + 13 * i));
        f.close();
        if (f.error() != QFileDevice::NoError)
            throw Errore(QStringLiteral("Impossibile scrivere %1: %2").arg(f.fileName(), f.errorString()));
        std::fprintf(stderr, "Ruolo di %d righe in %s\n", righe, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
