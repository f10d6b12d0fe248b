// Benchmark of the roll load: a roll against a large supply, side by side
// with what a database administrator would write by hand in the sqlite3
// shell (the roll's lines .imported, then one INSERT INTO tRsuTot SELECT
// that finds each owner through indexed joins on name and birth date, then
// on the tax-code prefix, and sums each found owner's units, every owner's
// total computed beforehand in one grouped pass).
//
//   bench_verify [SOGGETTI=1000000] [RIGHE=1000000] [CARTELLA]
//
// About 70 % of the roll's taxpayers are found by name and date (some in
// lower case, companies split across the two name fields), 15 % only by tax
// code, 15 % not at all. `sorvel-cli verify` runs in a child process, on the
// whole roll and on a tenth of it, whose peak memory is reported: it must not
// grow with the roll. The two loads must store the same rows.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Processo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// The same numbers on every run (splitmix64).
class Casuale {
public:
    uint64_t prossimo()
    {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int sotto(int n) { return int(prossimo() % uint64_t(n)); }

private:
    uint64_t s_ = 0x20261210;
};

const char* const cognomi[] = {"ROSSI",   "RUSSO",  "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO",  "COLOMBO",
                               "RICCI",   "MARINO", "GRECO",   "BRUNO",    "GALLO",   "CONTI",   "DE LUCA",
                               "MANCINI", "COSTA",  "GIORDANO", "RIZZO",   "LOMBARDI", "MORETTI", "D'ANGELO",
                               "GUIDI",   "CASALI", "PAOLINI", "TOSI",     "UGOLINI", "MAGI",    "NICOLÒ"};
const char* const nomi[] = {"MARIO",  "GIUSEPPE", "LUCA",   "ANDREA", "ANNA",    "MARIA",     "GIULIA",
                            "PAOLO",  "CHIARA",   "ELENA",  "SARA",   "MARCO",   "ANNA MARIA", "PIER PAOLO",
                            "NICOLÒ", "LUCIA",    "STEFANO", "FRANCA", "ROBERTO", "SILVIA"};

struct Soggetto {
    qint64 numero;
    QString cognome, nome, denominazione, codFisc;
    QDate nascita;  // invalid for a company
};

// One owner in a hundred thousand draws a surname suffix, so that names
// repeat as in a real city while name and birth date stay unique.
std::vector<Soggetto> generaSoggetti(int n)
{
    Casuale rnd;
    std::vector<Soggetto> v;
    v.reserve(size_t(n));
    std::unordered_set<std::string> visti;
    for (int i = 0; v.size() < size_t(n); ++i) {
        Soggetto s;
        s.numero = 100000 + qint64(v.size());
        const QString progressivo = QStringLiteral("%1").arg(v.size(), 8, 10, QLatin1Char('0'));
        if (rnd.sotto(20) == 0) {
            s.denominazione = QStringLiteral("IMMOBILIARE %1 S.R.L.").arg(v.size(), 7, 10, QLatin1Char('0'));
            s.codFisc = QStringLiteral("0") + progressivo + QStringLiteral("12");
        } else {
            s.cognome = QString::fromUtf8(cognomi[rnd.sotto(int(std::size(cognomi)))]);
            if (rnd.sotto(3) == 0)
                s.cognome += QLatin1Char(' ') + QString(QChar(u'A' + rnd.sotto(26))) + QString(QChar(u'A' + rnd.sotto(26)));
            s.nome = QString::fromUtf8(nomi[rnd.sotto(int(std::size(nomi)))]);
            s.denominazione = s.cognome + QLatin1Char(' ') + s.nome;
            s.nascita = QDate(1920, 1, 1).addDays(rnd.sotto(80 * 365));
            // the first eleven characters are the owner's own
            s.codFisc = QStringLiteral("RSS") + progressivo + QStringLiteral("A271X");
            if (!visti.insert((s.denominazione + s.nascita.toString(Qt::ISODate)).toStdString()).second)
                continue;
        }
        v.push_back(std::move(s));
    }
    return v;
}

// The supply: each owner one unit, a quarter a second one, one in a hundred
// listed twice on a unit, one in fifty with a unit in Rome too.
void generaFornitura(const std::vector<Soggetto>& soggetti)
{
    DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), true);
    ScriviFileTesto(QStringLiteral("sorvel.ini"), QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
    Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = 'G479'"));
    Transazione tr(db);
    Comando u1 = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie) VALUES (?, '', ?, 1, 'A02', ?)"));
    Comando u5 = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, Cognome, "
        "Nome, NData, CodFisc) VALUES (?, '', ?, 1, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Casuale rnd;
    qint64 immobile = 0;
    auto unita = [&](const QString& codice, const Soggetto& s, int volte) {
        ++immobile;
        u1.lega(1, QVariant(codice));
        u1.lega(2, immobile);
        if (rnd.sotto(30) == 0)
            u1.legaNull(3);
        else
            u1.lega(3, qint64(20 + rnd.sotto(180)));
        u1.esegui();
        for (int k = 1; k <= volte; ++k) {
            u5.lega(1, QVariant(codice));
            u5.lega(2, immobile);
            u5.lega(3, qint64(k));
            u5.lega(4, QVariant(s.nascita.isValid() ? QStringLiteral("F") : QStringLiteral("G")));
            u5.lega(5, s.numero);
            u5.lega(6, QVariant(s.denominazione));
            u5.lega(7, s.nascita.isValid() ? QVariant(s.cognome) : QVariant());
            u5.lega(8, s.nascita.isValid() ? QVariant(s.nome) : QVariant());
            u5.lega(9, s.nascita.isValid() ? QVariant(s.nascita.toString(Qt::ISODate)) : QVariant());
            u5.lega(10, QVariant(s.codFisc));
            u5.esegui();
        }
    };
    for (const Soggetto& s : soggetti) {
        unita(QStringLiteral("G479"), s, rnd.sotto(100) == 0 ? 2 : 1);
        if (rnd.sotto(4) == 0)
            unita(QStringLiteral("G479"), s, 1);
        if (rnd.sotto(50) == 0)
            unita(QStringLiteral("H501"), s, 1);
    }
    tr.conferma();
}

QString campo(const QString& t, int larghezza, bool destra = false)
{
    return destra ? t.rightJustified(larghezza, QLatin1Char(' '), true) : t.leftJustified(larghezza, QLatin1Char(' '), true);
}

// The roll: `righe` lines of taxpayers drawn from the owners. With `utf8`,
// also a UTF-8 copy for the shell, which knows no other encoding (the
// administrator's iconv, not timed).
void generaRuolo(const std::vector<Soggetto>& soggetti, qint64 righe, const QString& file, const QString& utf8 = {})
{
    QFile f(file), u(utf8);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        (!utf8.isEmpty() && !u.open(QIODevice::WriteOnly | QIODevice::Truncate)))
        throw Errore(QStringLiteral("%1 non scrivibile").arg(file));
    Casuale rnd;
    QByteArray buf, bufUtf8;
    for (qint64 j = 0; j < righe; ++j) {
        const Soggetto& s = soggetti[size_t(rnd.prossimo() % soggetti.size())];
        const int caso = rnd.sotto(100);
        QString cognome, nome, data, codFisc = s.codFisc;
        if (s.nascita.isValid()) {
            cognome = s.cognome;
            nome = s.nome;
            data = s.nascita.toString(QStringLiteral("dd/MM/yyyy"));
        } else {
            // a company's name split inside a word across the two fields
            cognome = s.denominazione.left(14);
            nome = s.denominazione.mid(14);
        }
        if (caso < 70) {
            // the shell's upper() folds ASCII letters only
            const auto ascii = [](const QString& t) {
                return std::all_of(t.begin(), t.end(), [](QChar c) { return c.unicode() < 0x80; });
            };
            if (caso < 7 && ascii(cognome) && ascii(nome)) {
                cognome = cognome.toLower();
                nome = nome.toLower();
            }
            codFisc = QStringLiteral("X");  // the name and date must find it
        } else if (caso < 85) {
            nome += QStringLiteral(" BIS");
            codFisc = codFisc.left(11);
        } else {
            cognome = QStringLiteral("SCONOSCIUTO");
            nome = QString::number(j);
            codFisc = QStringLiteral("ZZZ") + QString::number(j);
        }
        const QString ruolo = rnd.sotto(20) == 0 ? QString() : QString::number(30 + rnd.sotto(220));
        const QString riga = campo(QString::number(j % 999999 + 1), 6, true) + campo(cognome, 30) + campo(nome, 30) +
                             campo(data, 10) + campo(codFisc, 16) + campo(ruolo, 6, true) +
                             campo(QStringLiteral("VIA ROSSINI %1").arg(j % 200), 50) + campo(QStringLiteral("PESARO"), 50);
        buf += Cp1252::codifica(riga) + "\r\n";
        if (!utf8.isEmpty())
            bufUtf8 += riga.toUtf8() + "\r\n";
        if (buf.size() > (1 << 20)) {
            f.write(buf);
            if (!utf8.isEmpty())
                u.write(bufUtf8);
            buf.clear();
            bufUtf8.clear();
        }
    }
    f.write(buf);
    if (!utf8.isEmpty())
        u.write(bufUtf8);
}

// What the administrator types into the shell.
const char* const confrontoSql = R"(PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
CREATE TEMP TABLE righe (l TEXT);
.separator "\t" "\n"
.import ruolo_utf8.txt righe
CREATE TEMP TABLE r AS SELECT rowid AS n,
  CAST(substr(l, 1, 6) AS INTEGER) AS Codice, trim(substr(l, 7, 30)) AS Cognome, trim(substr(l, 37, 30)) AS Nome,
  trim(substr(l, 67, 10)) AS Data, trim(substr(l, 77, 16)) AS CodFisc, NULLIF(trim(substr(l, 93, 6)), '') AS Ruolo,
  trim(substr(l, 99, 50)) AS Indirizzo, trim(substr(l, 149, 50)) AS Citta FROM righe;
CREATE TEMP TABLE sogg AS SELECT DISTINCT upper(Denominazione) AS den, NData, Soggetto, upper(CodFisc) AS cf
  FROM tUnImm5_6 WHERE Codice = 'G479';
CREATE INDEX temp.ixNome ON sogg (den, NData, Soggetto);
CREATE INDEX temp.ixCf ON sogg (cf, Soggetto);
CREATE TEMP TABLE tot AS SELECT s.Soggetto, SUM(u.Superficie) AS Totale
  FROM (SELECT DISTINCT Soggetto, Codice, Sezione, Immobile, Progressivo FROM tUnImm5_6 WHERE Codice = 'G479') s
  JOIN tUnImm1 u ON u.Codice = s.Codice AND u.Sezione = s.Sezione AND u.Immobile = s.Immobile AND u.Progressivo = s.Progressivo
  GROUP BY s.Soggetto;
CREATE INDEX temp.ixTot ON tot (Soggetto);
BEGIN;
DELETE FROM tRsuTot;
INSERT INTO tRsuTot (Codice, Cognome, Nome, NData, CodFisc, Superficie, Ruolo, Differenza, Dichiarabile, Accertabile,
                     Presente, Indirizzo, Citta)
SELECT Codice, Cognome, Nome, Nascita, CodFisc, Totale, Ruolo,
  CASE WHEN Trovato IS NULL THEN NULL ELSE IFNULL(Totale, 0) - IFNULL(Ruolo, 0) END,
  CASE WHEN Trovato IS NULL THEN NULL ELSE CAST(round(IFNULL(Totale, 0) * 0.8) AS INTEGER) END,
  CASE WHEN Trovato IS NULL THEN NULL ELSE CAST(round(IFNULL(Totale, 0) * 0.8) AS INTEGER) - IFNULL(Ruolo, 0) END,
  CASE WHEN Trovato IS NULL THEN '*' ELSE '' END, Indirizzo, Citta
FROM (SELECT r.*, t.Totale FROM
       (SELECT r.*, COALESCE(
          (SELECT Soggetto FROM sogg WHERE den = upper(r.NomeRicerca) AND NData IS r.Nascita ORDER BY Soggetto LIMIT 1),
          (SELECT Soggetto FROM sogg WHERE r.CodFisc <> '' AND cf >= upper(r.CodFisc) AND cf < upper(r.CodFisc) || char(1114111)
             ORDER BY cf, Soggetto LIMIT 1),
          (SELECT Soggetto FROM sogg WHERE r.CodFisc = '' AND cf = '' ORDER BY Soggetto LIMIT 1)) AS Trovato
        FROM (SELECT *, CASE WHEN Data = '' THEN Cognome || Nome ELSE trim(Cognome || ' ' || Nome) END AS NomeRicerca,
                     CASE WHEN Data = '' THEN NULL ELSE substr(Data, 7, 4) || '-' || substr(Data, 4, 2) || '-' || substr(Data, 1, 2) END AS Nascita
              FROM r) r) r
      LEFT JOIN tot t ON t.Soggetto = r.Trovato)
ORDER BY n;
COMMIT;
)";

// Every stored row of tRsuTot, in order.
std::vector<std::string> caricate(const QString& file)
{
    Connessione db(file, Connessione::Apertura::Esistente);
    Comando c = db.prepara(QStringLiteral("SELECT * FROM tRsuTot ORDER BY rowid"));
    std::vector<std::string> r;
    while (c.passo()) {
        std::string s;
        for (int i = 0; i < c.colonne(); ++i) {
            s += c.tipo(i) == Comando::Tipo::Nullo ? std::string_view("NULL") : c.utf8(i);
            s += '|';
        }
        r.push_back(std::move(s));
    }
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int nSoggetti = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const qint64 nRighe = argc > 2 ? std::atoll(argv[2]) : 1000000;
    QTemporaryDir tmp;
    const QString dir = argc > 3 ? QString::fromLocal8Bit(argv[3]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    try {
        auto t = Orologio::now();
        // Generated by a child process: a child forked later from a large
        // parent would count the parent's pages in its peak memory.
        const bool generati = Processo::inDisparte([&] {
            try {
                const std::vector<Soggetto> soggetti = generaSoggetti(nSoggetti);
                generaFornitura(soggetti);
                generaRuolo(soggetti, nRighe, QStringLiteral("ruolo.txt"), QStringLiteral("ruolo_utf8.txt"));
                generaRuolo(soggetti, std::max<qint64>(1, nRighe / 10), QStringLiteral("decimo.txt"));
                return true;
            } catch (const Errore& e) {
                std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
                return false;
            }
        });
        if (!generati)
            throw Errore(QStringLiteral("generazione dei dati non riuscita"));
        std::printf("bench_verify: %d soggetti, ruolo di %lld righe (%.1f MB), in %s (generati in %.1f s)\n", nSoggetti,
                    nRighe, QFile(QStringLiteral("ruolo.txt")).size() / 1e6, qPrintable(dir), secondiDa(t));
        if (!QFile::copy(QStringLiteral("sorvel.mdb"), QStringLiteral("shell.mdb")))
            throw Errore(QStringLiteral("copia del database non riuscita"));

        const Processo::Esecuzione decimo = Processo::esegui({SORVEL_CLI, "verify", "decimo.txt"});
        const Processo::Esecuzione verify = Processo::esegui({SORVEL_CLI, "verify", "ruolo.txt"});
        if (decimo.codice != 0 || verify.codice != 0)
            throw Errore(QStringLiteral("sorvel-cli verify non riuscito"));
        {
            QFile s(QStringLiteral("confronto.sql"));
            if (!s.open(QIODevice::WriteOnly))
                throw Errore(QStringLiteral("script non scrivibile"));
            s.write(".load " SORVEL_NOMI "\n");  // the order of names, as sorvel's connections have it
            s.write(confrontoSql);
        }
        const Processo::Esecuzione shell = Processo::esegui({"sqlite3", "-bail", "shell.mdb"}, "confronto.sql");
        if (shell.codice != 0)
            throw Errore(QStringLiteral("sqlite3 non riuscito"));

        const std::vector<std::string> a = caricate(QStringLiteral("sorvel.mdb"));
        const std::vector<std::string> b = caricate(QStringLiteral("shell.mdb"));
        qint64 diverse = 0, trovati = 0;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            if (a[i] != b[i] && diverse++ < 5)
                std::printf("  riga %zu diversa:\n    verify %s\n    shell  %s\n", i + 1, a[i].c_str(), b[i].c_str());
            trovati += a[i].size() >= 2 && a[i].find("|*|") == std::string::npos;
        }
        std::printf("\nrighe caricate: verify %zu, shell %zu; diverse %lld; trovati %lld (%.0f %%)\n", a.size(), b.size(),
                    diverse, trovati, 100.0 * double(trovati) / double(std::max<size_t>(a.size(), 1)));
        auto riga = [](const char* cosa, const Processo::Esecuzione& e, qint64 righe) {
            std::printf("%s %7.2f s  (CPU %6.2f s)  %8.0f righe/s  RSS massima %ld MiB\n", cosa, e.secondi, e.cpu,
                        double(righe) / e.secondi, e.piccoKb / 1024);
        };
        riga("sorvel-cli verify ........", verify, nRighe);
        riga("  (un decimo del ruolo) ..", decimo, std::max<qint64>(1, nRighe / 10));
        riga("sqlite3 a mano ...........", shell, nRighe);
        // On a shared machine the wall clock also counts the others' work: the
        // processor time is the steadier figure.
        const double r = shell.secondi / verify.secondi, rc = shell.cpu / verify.cpu;
        const bool uguali = diverse == 0 && a.size() == b.size();
        std::printf("\nobiettivi:\n  shell / verify, tempo %.2f (almeno 1.00) %s\n  shell / verify, CPU   %.2f (almeno 1.00) %s\n"
                    "  stesse righe: %s\n",
                    r, r >= 1.0 ? "OK" : "NO", rc, rc >= 1.0 ? "OK" : "NO", uguali ? "OK" : "NO");
        return uguali ? 0 : 1;
    } catch (const Errore& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    }
}
