// Benchmark of the owner list on a large supply.
//
//   bench_elenco [righe] [cartella]
//
// Builds a delivered database in `cartella` (a fresh temporary folder when
// omitted) holding `righe` owner rows (default 1,000,000) of the managing
// municipality plus about 2% of another municipality, then measures what the
// clerk waits for: opening the owner list (query, fetch, filter), the search
// box's Locate on a name prefix, keystroke after keystroke, and the exact
// Locate a roll load repeats once per line. Ends with the peak resident memory.
//
// The rows are written by a child process, so that neither the time nor the
// memory spent generating them enters the measured figures.

#include "Collazione.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Processo.h"
#include "dmTabelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {


// --- deterministic pseudo-random numbers (splitmix64) -------------------------

class Casuale {
public:
    explicit Casuale(uint64_t seme) : s_(seme) {}
    uint64_t prossimo()
    {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unitario() { return double(prossimo() >> 11) * (1.0 / 9007199254740992.0); }
    size_t sotto(size_t n) { return size_t(unitario() * double(n)); }
    // Skewed towards the start of a list: the common surnames come first.
    size_t sbilanciato(size_t n)
    {
        const double u = unitario();
        return std::min(n - 1, size_t(u * u * double(n)));
    }

private:
    uint64_t s_;
};

// --- names --------------------------------------------------------------------

const char* const cognomi[] = {
    "ROSSI", "RUSSO", "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO", "COLOMBO", "RICCI", "MARINO", "GRECO",
    "BRUNO", "GALLO", "CONTI", "DE LUCA", "MANCINI", "COSTA", "GIORDANO", "RIZZO", "LOMBARDI", "MORETTI",
    "BARBIERI", "FONTANA", "SANTORO", "MARIANI", "RINALDI", "CARUSO", "FERRARA", "GALLI", "MARTINI", "LEONE",
    "LONGO", "GENTILE", "MARTINELLI", "VITALE", "LOMBARDO", "SERRA", "COPPOLA", "DE SANTIS", "D'ANGELO",
    "MARCHETTI", "PARISI", "VILLA", "CONTE", "FERRARO", "FERRI", "FABBRI", "BIANCO", "MARINI", "GRASSO",
    "VALENTINI", "MESSINA", "SALA", "DE ANGELIS", "GATTI", "PELLEGRINI", "PALUMBO", "SANNA", "FARINA", "RIZZI",
    "MONTI", "CATTANEO", "MORELLI", "AMATO", "SILVESTRI", "MAZZA", "TESTA", "GRASSI", "PELLEGRINO", "CARBONE",
    "GIULIANI", "BENEDETTI", "BARONE", "ROSSETTI", "CAPUTO", "MONTANARI", "GUERRA", "PALMIERI", "BERNARDI",
    "MARTINO", "FIORE", "DE ROSA", "FERRETTI", "BELLINI", "BASILE", "RIVA", "DONATI", "PIRAS", "VITALI",
    "BATTAGLIA", "SARTORI", "NERI", "COSTANTINI", "MILANI", "PAGANO", "RUGGIERO", "SORRENTINO", "D'AMICO",
    "ORLANDO", "DAMICO", "NEGRI", "BALDINI", "OLIVIERI", "GUIDI", "CASALI", "BALDUCCI", "PAOLINI", "TOSI",
    "UGOLINI", "GIOMMI", "PAGNINI", "BRUSCHI", "FRATERNALI", "GUIDUCCI", "ROMAGNOLI", "MAGI", "DELL'ORTO",
    "CECCHINI", "CERIONI", "BARTOLUCCI", "MARCHI", "TOMASSINI", "CARDINALI", "PIERSANTI", "SCHIAVONI",
    "FALCIONI", "GAUDENZI", "PETRUCCI", "BACCHIANI", "DELLA CHIARA", "OMICCIOLI", "SAVELLI", "ZANDRI",
    "NICOLÒ", "FORLÌ", "SANTINELLI", "MANCINELLI", "ZAFFINI", "URBINATI", "VAGNINI", "QUERCI", "YANNI",
    "ZANNI", "XOMPERO", "IACOBUCCI", "EUSEBI", "OTTAVIANI", "AGOSTINI", "HOXHA", "JOVANOVIC", "KAUR", "WANG",
};
const char* const nomiM[] = {
    "GIUSEPPE", "GIOVANNI", "ANTONIO", "MARIO", "LUIGI", "FRANCESCO", "ANGELO", "VINCENZO", "PIETRO", "SALVATORE",
    "CARLO", "FRANCO", "DOMENICO", "BRUNO", "PAOLO", "MICHELE", "GIORGIO", "ALDO", "SERGIO", "LUCIANO",
    "MARCO", "ALESSANDRO", "ANDREA", "LUCA", "MATTEO", "LORENZO", "DAVIDE", "SIMONE", "FEDERICO", "RICCARDO",
    "STEFANO", "ROBERTO", "MASSIMO", "FABIO", "GIANLUCA", "CLAUDIO", "MAURIZIO", "ENRICO", "UMBERTO", "NICOLÒ",
    "GIAN MARCO", "PIER PAOLO", "ELIA", "TOMMASO", "GABRIELE", "EDOARDO", "DANIELE", "EMANUELE", "CRISTIAN",
    "OTTAVIO", "IVO", "UGO", "ZENO", "YURI", "WALTER", "KEVIN", "JACOPO", "HAMID", "XAVIER", "QUINTO",
};
const char* const nomiF[] = {
    "MARIA", "ANNA", "GIUSEPPINA", "ROSA", "ANGELA", "GIOVANNA", "TERESA", "LUCIA", "CARMELA", "CATERINA",
    "FRANCESCA", "ANNA MARIA", "ANTONIETTA", "CARLA", "ELENA", "CONCETTA", "RITA", "MARGHERITA", "FRANCA", "PAOLA",
    "GIULIA", "SOFIA", "AURORA", "ALICE", "GINEVRA", "EMMA", "GIORGIA", "GRETA", "MARTINA", "CHIARA",
    "SARA", "ALESSIA", "FEDERICA", "SILVIA", "LAURA", "VALENTINA", "ELISA", "MONICA", "BARBARA", "ROBERTA",
    "DANIELA", "PATRIZIA", "NOEMI", "IRENE", "ILARIA", "BEATRICE", "MARIA GRAZIA", "ORNELLA", "UMBERTA", "ZOE",
    "YLENIA", "WANDA", "KATIA", "JESSICA", "HELGA", "XENIA", "QUIRINA", "VIOLA", "NICOLETTA", "EMMA ROSA",
};

// The long tail of surnames: roots and endings of the region's family names.
const char* const radici[] = {
    "BALD", "BART", "BELL", "BENED", "BERT", "BIAG", "BON", "BORG", "BRAC", "BRUN", "CAMP", "CANT", "CAPR",
    "CARL", "CASAL", "CAST", "CECC", "CERR", "CIAMP", "COLL", "CORS", "CRIST", "DONAT", "FABR", "FALC",
    "FERR", "FILIPP", "FIOR", "FRANC", "GALL", "GASPAR", "GENT", "GIACOM", "GIANN", "GUID", "LAND", "LAZZAR",
    "LEON", "LOMBARD", "LUCCH", "MAGN", "MANC", "MARCH", "MARIN", "MART", "MASS", "MAZZ", "MENG", "MICHEL",
    "MONT", "MORAND", "MOR", "NAN", "NEGR", "NICOL", "ORS", "PAGAN", "PALM", "PAOL", "PASQUAL", "PELLEGR",
    "PER", "PIERANT", "PIN", "POL", "PRET", "RAFF", "RICC", "RIG", "ROMAN", "ROSS", "RUGG", "SALV", "SANT",
    "SART", "SIMON", "SPIN", "TADD", "TOMAS", "TOSC", "VALENT", "VENTUR", "VERD", "VIT", "ZAMP", "ZANN",
};
const char* const finali[] = {
    "I", "INI", "ETTI", "ELLI", "ONI", "UCCI", "ACCI", "OZZI", "ARI", "IERI", "ESI", "ATO", "OLI", "IELLO", "ASSO", "UZZI",
};

// A surname: half the owners carry one of the common ones, more often the
// first of the list; the others one of the tail.
std::string cognomeA(Casuale& rnd)
{
    if (rnd.prossimo() & 1)
        return cognomi[rnd.sbilanciato(std::size(cognomi))];
    return std::string(radici[rnd.sotto(std::size(radici))]) + finali[rnd.sotto(std::size(finali))];
}

// Birthplaces, all in tComuni: mostly the municipality itself and its neighbour.
struct Luogo {
    const char* codice;
    double quota;  // cumulative
};
const Luogo luoghi[] = {
    {"G479", 0.60}, {"D488", 0.75}, {"H501", 0.85}, {"F205", 0.93}, {"A944", 0.97}, {"L219", 1.00},
};

// --- the tax code ---------------------------------------------------------------

// The letters of a name, unaccented: what the tax code is computed from.
std::string lettere(std::string_view utf8)
{
    std::string r;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 'A' && c <= 'Z') {
            r.push_back(char(c));
        } else if (c == 0xC3 && i + 1 < utf8.size()) {  // the Latin-1 accented capitals
            const auto d = static_cast<unsigned char>(utf8[++i]);
            if (d >= 0x80 && d <= 0x85) r.push_back('A');
            else if (d >= 0x88 && d <= 0x8B) r.push_back('E');
            else if (d >= 0x8C && d <= 0x8F) r.push_back('I');
            else if (d >= 0x92 && d <= 0x96) r.push_back('O');
            else if (d >= 0x99 && d <= 0x9C) r.push_back('U');
        }
    }
    return r;
}

bool vocale(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

std::string treLettere(std::string_view utf8, bool comeNome)
{
    const std::string l = lettere(utf8);
    std::string consonanti, vocali;
    for (char c : l)
        (vocale(c) ? vocali : consonanti).push_back(c);
    if (comeNome && consonanti.size() >= 4)
        return {consonanti[0], consonanti[2], consonanti[3]};
    std::string r = consonanti + vocali + "XXX";
    return r.substr(0, 3);
}

char carattereControllo(std::string_view quindici)
{
    static const int dispari[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18,
                                    20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    int somma = 0;
    for (size_t i = 0; i < quindici.size(); ++i) {
        const char c = quindici[i];
        const int v = c >= '0' && c <= '9' ? c - '0' : c - 'A';
        somma += i % 2 == 0 ? dispari[v] : v;  // positions 1, 3, 5... are the odd ones
    }
    return char('A' + somma % 26);
}

std::string codiceFiscale(std::string_view cognome, std::string_view nome, bool femmina, int anno, int mese,
                          int giorno, std::string_view luogo)
{
    static const char mesi[] = "ABCDEHLMPRST";
    char data[40];
    std::snprintf(data, sizeof data, "%02d%c%02d", anno % 100, mesi[mese - 1], giorno + (femmina ? 40 : 0));
    std::string cf = treLettere(cognome, false) + treLettere(nome, true) + data + std::string(luogo);
    cf.push_back(carattereControllo(cf));
    return cf;
}

int giorniDelMese(int anno, int mese)
{
    static const int g[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bisestile = (anno % 4 == 0 && anno % 100 != 0) || anno % 400 == 0;
    return mese == 2 && bisestile ? 29 : g[mese - 1];
}

// --- the supply -------------------------------------------------------------------

const char* const comuneGestione = "G479";  // Pesaro
const char* const altroComune = "D488";     // Fano: its rows must stay hidden

struct Generati {
    long gestione = 0;
    long altri = 0;
};

// The delivered database with `n` owner rows of the managing municipality and,
// after every 50 of them, one row of another municipality.
Generati genera(const QString& cartella, long n)
{
    const QString file = cartella + QStringLiteral("/sorvel.mdb");
    DatabaseConsegnato::crea(file, true);
    {
        QFile ini(cartella + QStringLiteral("/sorvel.ini"));
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Errore(QStringLiteral("Impossibile scrivere sorvel.ini in %1").arg(cartella));
        ini.write("Provider=SQLite; Data Source=sorvel.mdb\r\n");
    }

    Connessione db(file, Connessione::Apertura::Esistente);
    db.esegui(QStringLiteral("PRAGMA cache_size=-262144"));  // the indexes grow in random order
    db.esegui(QStringLiteral("UPDATE tParametri SET Codice = '%1', Nome = 'PESARO', Provincia = 'PU'")
                  .arg(QLatin1String(comuneGestione)));

    Transazione tr(db);
    Comando ins = db.prepara(QStringLiteral(
        "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
        "SedeSoggetto, Cognome, Nome, Sesso, NData, NLuogo, CodFisc, SedeAutorita, AggData, Numero, Repertorio) "
        "VALUES (?, '', ?, 1, 1, 'F', ?, ?, NULL, ?, ?, ?, ?, ?, ?, NULL, ?, NULL, NULL)"));
    Casuale rnd(20240611);
    Generati g;
    const long altri = n / 50;
    std::string denominazione;
    char data[40];
    for (long i = 0; i < n + altri; ++i) {
        const bool altro = (i % 51) == 50 && g.altri < altri;
        const char* codice = altro ? altroComune : comuneGestione;
        const std::string cognome = cognomeA(rnd);
        const bool femmina = rnd.prossimo() & 1;
        const std::string_view nome =
            femmina ? nomiF[rnd.sbilanciato(std::size(nomiF))] : nomiM[rnd.sbilanciato(std::size(nomiM))];
        const int anno = 1925 + int(rnd.sotto(81));
        const int mese = 1 + int(rnd.sotto(12));
        const int giorno = 1 + int(rnd.sotto(size_t(giorniDelMese(anno, mese))));
        const double q = rnd.unitario();
        const char* luogo = luoghi[0].codice;
        for (const Luogo& l : luoghi)
            if (q < l.quota) {
                luogo = l.codice;
                break;
            }
        denominazione.assign(cognome).append(" ").append(nome);
        std::snprintf(data, sizeof data, "%04d-%02d-%02d", anno, mese, giorno);
        const std::string cf = codiceFiscale(cognome, nome, femmina, anno, mese, giorno, luogo);
        char agg[40];
        std::snprintf(agg, sizeof agg, "%04d-%02d-%02d", 1990 + int(rnd.sotto(34)), 1 + int(rnd.sotto(12)),
                      1 + int(rnd.sotto(28)));

        ins.lega(1, std::string_view(codice));
        ins.lega(2, qint64(altro ? g.altri + 1 : g.gestione + 1));  // the unit's number
        ins.lega(3, qint64(i + 1));                                 // one owner per row
        ins.lega(4, std::string_view(denominazione));
        ins.lega(5, std::string_view(cognome));
        ins.lega(6, nome);
        ins.lega(7, std::string_view(femmina ? "F" : "M"));
        ins.lega(8, std::string_view(data));
        ins.lega(9, std::string_view(luogo));
        ins.lega(10, std::string_view(cf));
        ins.lega(11, std::string_view(agg));
        ins.esegui();
        (altro ? g.altri : g.gestione) += 1;
    }
    tr.conferma();
    db.esegui(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return g;
}

// --- measuring ----------------------------------------------------------------------

// A line of /proc/self/status in kB ("VmHWM", "VmRSS").
double percentile(const std::vector<double>& ordinati, double p)
{
    if (ordinati.empty())
        return 0;
    const size_t i = std::min(ordinati.size() - 1, size_t(p * double(ordinati.size() - 1) + 0.5));
    return ordinati[i];
}

const char* esito(bool ok) { return ok ? "OK" : "FAIL"; }

// The folded key as the case-insensitive search compares it.
std::string piegato(const QString& s) { return s.toCaseFolded().toStdString(); }

int esegui(long n, const QString& cartella, int& argc, char** argv)
{
    // 1. the supply, written by a child process
    std::printf("bench_elenco: %ld righe del comune %s (+%ld di %s) in %s\n", n, comuneGestione, n / 50,
                altroComune, qPrintable(cartella));
    std::fflush(stdout);
    const auto t0 = Orologio::now();
    const pid_t figlio = fork();
    if (figlio < 0) {
        std::perror("fork");
        return 2;
    }
    if (figlio == 0) {
        int rc = 0;
        try {
            const Generati g = genera(cartella, n);
            std::printf("generazione: %ld righe del comune, %ld di un altro\n", g.gestione, g.altri);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "generazione fallita: %s\n", e.what());
            rc = 2;
        }
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(rc);
    }
    int stato = 0;
    waitpid(figlio, &stato, 0);
    if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0)
        return 2;
    const double tGenera = secondiDa(t0);
    std::printf("generazione: %.2f s (non misurata)\n", tGenera);
    const long hwmPrima = statoKb("VmHWM");

    // 2. the data module and the owner list; the application object only now,
    // after the child has written the rows
    QCoreApplication app(argc, argv);
    QDir::setCurrent(cartella);
    TdTabelle dati;
    auto t = Orologio::now();
    dati.DataModuleCreate();
    const double tModulo = secondiDa(t);
    Query elenco(dati.ADOConnection1, QStringLiteral("qElenco"));

    t = Orologio::now();
    ElencoSoggetti::apri(elenco, dati);
    const double tApri = secondiDa(t);
    const int righe = elenco.righe();
    const long rssDopoApri = statoKb("VmRSS");

    if (righe == 0) {
        std::printf("ATTENZIONE: l'elenco è vuoto\n");
        return 2;
    }
    const int cDen = elenco.campo(u"Denominazione");
    auto nomeRiga = [&](size_t r) { return elenco.valoreRiga(int(r), cDen).toString(); };

    // 3a. keystrokes in the search box: the prefixes a clerk types, one
    // character at a time, of names taken from the list, written as typed
    // (lower case, capitalised or in capitals), and some that match nothing.
    // Only a few thousand rows are read here: the whole list is copied for
    // the checks after memory has been measured.
    Casuale rnd(77);
    std::vector<QString> prefissi;
    QSet<QString> visti;
    for (int prove = 0; prefissi.size() < 1500 && prove < 200000; ++prove) {
        const QString nome = nomeRiga(rnd.sotto(size_t(righe)));
        const int modo = int(rnd.sotto(3));
        for (int k = 1; k <= std::min<int>(6, int(nome.size())); ++k) {
            QString p = nome.left(k);
            if (modo == 0)
                p = p.toLower();
            else if (modo == 1)
                p = p.left(1) + p.mid(1).toLower();
            if (p.endsWith(QLatin1Char(' ')))
                continue;
            const QString chiave = p.toCaseFolded();
            if (!visti.contains(chiave)) {
                visti.insert(chiave);
                prefissi.push_back(p);
            }
        }
    }
    // A real start followed by letters no name continues with, or a made-up
    // start with a digit; mixed in among the others, as mistyped searches are.
    const char* const nulla[] = {"zq", "xkw", "qz", "wq", "jj", "kx", "yy", "hh", "zzz", "xq"};
    for (size_t i = 0, nulli = 0; nulli < 150 && i < 100000; ++i) {
        const QString p = i % 2 ? QString::fromLatin1(nulla[i % std::size(nulla)]) + QString::number(i)
                                : nomeRiga(rnd.sotto(size_t(righe))).left(1 + int(rnd.sotto(4))) + QStringLiteral("qj");
        if (visti.contains(p.toCaseFolded()))
            continue;
        visti.insert(p.toCaseFolded());
        prefissi.insert(prefissi.begin() + qsizetype(rnd.sotto(prefissi.size())), p);
        ++nulli;
    }

    const QString chiaveLocate = QStringLiteral("Denominazione");
    const OpzioniLocate parziale{true, true};

    // the first search builds the index
    elenco.primo();
    t = Orologio::now();
    const bool primoTrovato = elenco.Locate(chiaveLocate, {prefissi.front()}, parziale);
    const double tPrimo = secondiDa(t);
    const int primoRiga = primoTrovato ? elenco.rigaCorrente() : -1;

    std::vector<double> durate;
    std::vector<int> trovatiParziali;  // the row found, -1 for none
    durate.reserve(prefissi.size());
    trovatiParziali.reserve(prefissi.size());
    long trovati = 0;
    for (const QString& p : prefissi) {
        const QVariantList valori{p};
        const auto inizio = Orologio::now();
        const bool ok = elenco.Locate(chiaveLocate, valori, parziale);
        durate.push_back(std::chrono::duration<double, std::milli>(Orologio::now() - inizio).count());
        trovatiParziali.push_back(ok ? elenco.rigaCorrente() : -1);
        trovati += ok;
    }
    std::vector<double> ordinate = durate;
    std::sort(ordinate.begin(), ordinate.end());
    const double mediana = percentile(ordinate, 0.5);
    const double p99 = percentile(ordinate, 0.99);
    const double massimo = ordinate.back();

    // 3b. a roll load: one exact, case-sensitive Locate per line on the full name
    std::vector<QVariantList> esatti;
    for (int i = 0; i < 4096; ++i)
        esatti.push_back({nomeRiga(rnd.sotto(size_t(righe)))});
    t = Orologio::now();
    elenco.Locate(chiaveLocate, esatti.front());
    const double tPrimoEsatto = secondiDa(t);
    const long chiamate = 1000000;
    long trovatiEsatti = 0;
    t = Orologio::now();
    for (long i = 0; i < chiamate; ++i)
        trovatiEsatti += elenco.Locate(chiaveLocate, esatti[size_t(i * 7919) % esatti.size()]);
    const double tEsatti = secondiDa(t);
    const double mediaEsatti = tEsatti / double(chiamate) * 1e6;
    std::vector<int> righeEsatte;
    for (const QVariantList& v : esatti)
        righeEsatte.push_back(elenco.Locate(chiaveLocate, v) ? elenco.rigaCorrente() : -1);

    // 4. memory: the list, its two search indexes and the data module
    const long hwm = statoKb("VmHWM");

    // The checks, against a copy of every shown row's name.
    long errori = 0;
    std::vector<QByteArray> nomi(static_cast<size_t>(righe));
    std::vector<std::string> piegati(static_cast<size_t>(righe));
    const int cCod = elenco.campo(u"Codice");
    long fuoriComune = 0;
    for (int r = 0; r < righe; ++r) {
        const QString nome = nomeRiga(size_t(r));
        nomi[size_t(r)] = nome.toUtf8();
        piegati[size_t(r)] = piegato(nome);
        if (elenco.valoreRiga(r, cCod).toString() != QLatin1String(comuneGestione))
            ++fuoriComune;
    }
    if (righe != n) {
        std::printf("ATTENZIONE: attese %ld righe, mostrate %d\n", n, righe);
        ++errori;
    }
    if (fuoriComune > 0) {
        std::printf("ATTENZIONE: %ld righe di un altro comune non filtrate\n", fuoriComune);
        ++errori;
    }
    // the list stands in the order of names
    auto primaNomi = [](const QByteArray& a, const QByteArray& b) {
        return Collazione::confronta(std::string_view(a.constData(), size_t(a.size())),
                                     std::string_view(b.constData(), size_t(b.size()))) < 0;
    };
    const bool ordinato = std::is_sorted(nomi.begin(), nomi.end(), primaNomi);
    if (!ordinato) {
        std::printf("ATTENZIONE: elenco non in ordine di Denominazione\n");
        ++errori;
    }
    const bool piegatiOrdinati = std::is_sorted(piegati.begin(), piegati.end());
    // The first shown row whose folded name starts with `p`, or -1; the rows
    // are searched one by one when the folded names are not in order.
    auto primaCon = [&](const std::string& p) -> int {
        if (!piegatiOrdinati) {
            for (size_t r = 0; r < piegati.size(); ++r)
                if (piegati[r].compare(0, p.size(), p) == 0)
                    return int(r);
            return -1;
        }
        const auto it = std::lower_bound(piegati.begin(), piegati.end(), p);
        if (it == piegati.end() || it->compare(0, p.size(), p) != 0)
            return -1;
        return int(it - piegati.begin());
    };
    long sbagliati = primoRiga != primaCon(piegato(prefissi.front()));
    for (size_t i = 0; i < prefissi.size(); ++i)
        sbagliati += trovatiParziali[i] != primaCon(piegato(prefissi[i]));
    long sbagliatiEsatti = 0;
    for (size_t i = 0; i < esatti.size(); ++i) {
        const QByteArray cercato = esatti[i].front().toString().toUtf8();
        const int atteso = ordinato ? int(std::lower_bound(nomi.begin(), nomi.end(), cercato, primaNomi) - nomi.begin())
                                    : int(std::find(nomi.begin(), nomi.end(), cercato) - nomi.begin());
        sbagliatiEsatti += righeEsatte[i] != atteso;
    }
    errori += sbagliati + sbagliatiEsatti + (chiamate - trovatiEsatti);

    // 5. summary
    const double mib = 1024.0;
    std::printf("\n");
    std::printf("modulo dati (DataModuleCreate): %.3f s\n", tModulo);
    std::printf("elenco: %d righe in %.2f s (%ld nascoste di %s)\n", righe, tApri, n / 50, altroComune);
    std::printf("Locate primo (indice, maiuscole ignorate): %.3f s\n", tPrimo);
    std::printf("Locate parziale su %zu prefissi (%ld trovati, %zu senza riscontro): mediana %.4f ms, p99 %.4f ms, "
                "max %.4f ms\n",
                prefissi.size(), trovati, prefissi.size() - size_t(trovati), mediana, p99, massimo);
    std::printf("Locate esatto primo (indice): %.3f s\n", tPrimoEsatto);
    std::printf("Locate esatto: %ld chiamate in %.2f s, %.3f us per chiamata (%ld trovate)\n", chiamate, tEsatti,
                mediaEsatti, trovatiEsatti);
    std::printf("RSS dopo l'apertura: %.0f MiB\n", double(rssDopoApri) / mib);
    std::printf("RSS massima: %.0f MiB (prima dell'elenco %.0f MiB)\n", double(hwm) / mib, double(hwmPrima) / mib);
    if (!piegatiOrdinati)
        std::printf("nota: l'ordine dei nomi differisce da quello dei nomi senza maiuscole (accenti, apostrofi)\n");
    std::printf("controlli: %s (%ld errori; %ld risposte parziali sbagliate, %ld esatte sbagliate)\n",
                errori == 0 ? "OK" : "FAIL", errori, sbagliati, sbagliatiEsatti);

    const bool okApri = tApri < 3.0;
    const bool okTasto = mediana < 10.0;
    const bool okMemoria = hwm >= 0 && double(hwm) < 1024.0 * 1024.0;
    std::printf("\nobiettivi:\n");
    std::printf("  elenco sotto 3 s ............ %.2f s      %s\n", tApri, esito(okApri));
    std::printf("  Locate (tasto) mediana < 10 ms %.4f ms   %s\n", mediana, esito(okTasto));
    std::printf("  RSS massima sotto 1 GiB ..... %.0f MiB     %s\n", double(hwm) / mib, esito(okMemoria));
    std::fflush(stdout);
    return errori == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    long n = 1000000;
    QString cartella;
    int posizione = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::printf("uso: %s [righe=1000000] [cartella=temporanea]\n", argv[0]);
            return 0;
        }
        if (posizione == 0) {
            char* fine = nullptr;
            n = std::strtol(a.c_str(), &fine, 10);
            if (*fine != '\0' || n <= 0) {
                std::fprintf(stderr, "numero di righe non valido: %s\n", a.c_str());
                return 2;
            }
        } else if (posizione == 1) {
            cartella = QString::fromLocal8Bit(a.c_str());
        } else {
            std::fprintf(stderr, "argomento in più: %s\n", a.c_str());
            return 2;
        }
        ++posizione;
    }

    std::optional<QTemporaryDir> temporanea;
    if (cartella.isEmpty()) {
        temporanea.emplace(QDir::tempPath() + QStringLiteral("/bench_elenco-XXXXXX"));
        if (!temporanea->isValid()) {
            std::fprintf(stderr, "impossibile creare una cartella temporanea\n");
            return 2;
        }
        cartella = temporanea->path();
    } else {
        if (!QDir().mkpath(cartella)) {
            std::fprintf(stderr, "impossibile creare la cartella %s\n", qPrintable(cartella));
            return 2;
        }
        cartella = QDir(cartella).absolutePath();
    }

    int rc = 2;
    try {
        rc = esegui(n, cartella, argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "errore: %s\n", e.what());
        rc = 2;
    }
    QDir::setCurrent(QDir::tempPath());  // leave the folder so that it can be removed
    return rc;
}
