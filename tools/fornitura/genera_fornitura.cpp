// Writes a realistic "dati metrici" supply file of one municipality, the same
// on every run: the demo supply, the test fixtures and the benchmarks' large
// files. Windows-1252, CR LF lines, every record type, the summary last.
//
//   genera_fornitura FILE [UNITA=300] [CODICE=G479] [--forma semplice|ricca]
//
// Two shapes of supply: "semplice" (the default) has about 7.5 rows per unit
// in 5.3 lines: one or two identifiers, one address, one to three rooms, one
// or two owners. "ricca" has more rows per line, about 8.6 rows per unit in
// 5.8 lines: one to three identifiers, one or two addresses, none to six
// rooms (no type 4 line for a unit without rooms), one to four owners.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* const cognomi[] = {
    "ROSSI", "RUSSO", "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO", "COLOMBO", "RICCI", "MARINO", "GRECO", "BRUNO",
    "GALLO", "CONTI", "DE LUCA", "MANCINI", "COSTA", "GIORDANO", "RIZZO", "LOMBARDI", "MORETTI", "BARBIERI",
    "FONTANA", "SANTORO", "MARIANI", "RINALDI", "CARUSO", "FERRARA", "GALLI", "MARTINI", "LEONE", "LONGO",
    "GENTILE", "MARTINELLI", "VITALE", "LOMBARDO", "SERRA", "COPPOLA", "DE SANTIS", "D'ANGELO", "MARCHETTI",
    "PARISI", "VILLA", "CONTE", "FERRO", "FABBRI", "BIANCO", "MARINI", "GRASSO", "VALENTINI", "MESSINA", "SALA",
    "DE ANGELIS", "GATTI", "PELLEGRINI", "PALUMBO", "SANNA", "FARINA", "RIZZI", "MONTI", "CATTANEO", "MORELLI",
    "AMATO", "SILVESTRI", "MAZZA", "TESTA", "GRASSI", "PELLEGRINO", "CARBONE", "GIULIANI", "BENEDETTI",
    "BARONE", "ROSSETTI", "CAPUTO", "MONTANARI", "GUERRA", "PALMIERI", "BERNARDI", "MARTINO", "FIORE",
    "DE ROSA", "FERRETTI", "BELLINI", "BASILE", "RIVA", "DONATI", "PIRAS", "VITALI", "BATTAGLIA", "SARTORI",
    "NERI", "COSTANTINI", "MILANI", "PAGANO", "RUGGIERO", "SORRENTINO", "D'AMICO", "ORLANDO", "DAMICO",
    "NEGRI", "DELL'ORTO", "FORNARI", "NICOLÒ", "PERUZZÌ", "SANTANGELO", "MAZZÈ"};
const char* const nomiM[] = {"MARIO", "GIUSEPPE", "LUCA", "ANDREA", "NICOLÒ", "FRANCESCO", "PAOLO", "STEFANO",
                             "GIOVANNI", "ANTONIO", "ROBERTO", "MARCO", "ALESSANDRO", "LORENZO", "MATTIA",
                             "GIANLUCA", "SALVATORE", "DAVIDE", "GIORGIO", "PIETRO"};
const char* const nomiF[] = {"MARIA", "ANNA", "GIULIA", "FRANCESCA", "CHIARA", "LUCIA", "ELENA", "SARA",
                             "PAOLA", "LAURA", "VALENTINA", "ALESSIA", "FEDERICA", "SILVIA", "MARTINA",
                             "ROSSELLA", "BEATRICE", "GRAZIA", "NOEMI", "AURORA"};
const char* const societa[] = {"EDILIZIA ADRIATICA", "IMMOBILIARE FOGLIA", "CASE DEL PORTO", "L'ARCOBALENO",
                               "COSTRUZIONI MONTEFELTRO", "AGRICOLA SAN BARTOLO", "GESTIONI IMMOBILIARI CENTRO",
                               "PATRIMONIO E SVILUPPO", "RESIDENZE AL MARE", "CITTÀ NUOVA"};
const char* const forme[] = {"S.R.L.", "S.P.A.", "S.N.C.", "SOCIETA' COOPERATIVA", "S.A.S."};
const char* const vie[] = {"ROSSINI", "BRANCA", "GIOACCHINO ROSSINI", "XI FEBBRAIO", "MAMELI", "GARIBALDI",
                           "SAN FRANCESCO", "DELLA REPUBBLICA", "FLAMINIA", "MONTEGRAPPA", "DEI MILLE",
                           "NAZARIO SAURO", "DELL'ABBAZIA", "SANTA MARIA", "CAVOUR", "MAZZINI", "VITTORIO VENETO"};
const char* const toponimi[] = {"VIA", "VIA", "VIA", "PIAZZA", "VIALE", "CORSO", "STRADA", "LARGO"};
const char* const luoghi[] = {"G479", "D488", "L500", "A271", "H501", "F205", "F839", "D612"};
const char* const categorie[] = {"A02", "A03", "A03", "A04", "A07", "C06", "C02", "A10", "C01"};

// The same numbers on every machine.
struct Caso {
    quint64 x = 0x20261210;
    int operator()(int n)
    {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return int(x % quint64(n));
    }
};

template <size_t N>
const char* scegli(Caso& c, const char* const (&v)[N]) { return v[c(int(N))]; }

// Windows-1252 of a UTF-8 literal: the generator's own texts hold only Latin-1 letters.
QByteArray ansi(const char* utf8) { return QString::fromUtf8(utf8).toLatin1(); }

QByteArray data(int g, int m, int a)
{
    return QByteArray::number(g).rightJustified(2, '0') + QByteArray::number(m).rightJustified(2, '0') +
           QByteArray::number(a);
}

QByteArray codiceFiscale(Caso& c)
{
    static const char lettere[] = "ABCDEFGHILMNPRSTUVZ";
    QByteArray s;
    for (int i = 0; i < 6; ++i)
        s += lettere[c(19)];
    s += QByteArray::number(40 + c(60));
    s += "ABCDEHLMPRST"[c(12)];
    s += QByteArray::number(10 + c(60));
    s += scegli(c, luoghi);
    s += lettere[c(19)];
    return s;
}

struct Soggetto {
    int numero;
    bool societa;
    QByteArray campi;  // the fields after the record type and the number
};

// How many of something a unit has: `pesi[i]` is the weight of i + `minimo`.
template <size_t N>
int quanti(Caso& c, int minimo, const int (&pesi)[N])
{
    int totale = 0;
    for (int p : pesi)
        totale += p;
    int x = c(totale);
    for (size_t i = 0; i < N; ++i) {
        if (x < pesi[i])
            return minimo + int(i);
        x -= pesi[i];
    }
    return minimo + int(N) - 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<const char*> pos;
    bool ricca = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--forma") == 0 && i + 1 < argc) {
            const char* f = argv[++i];
            if (std::strcmp(f, "ricca") != 0 && std::strcmp(f, "semplice") != 0) {
                std::fprintf(stderr, "forma sconosciuta: %s (semplice o ricca)\n", f);
                return 1;
            }
            ricca = std::strcmp(f, "ricca") == 0;
        } else {
            pos.push_back(argv[i]);
        }
    }
    if (pos.empty()) {
        std::fputs("uso: genera_fornitura FILE [UNITA=300] [CODICE=G479] [--forma semplice|ricca]\n", stderr);
        return 1;
    }
    const int unita = pos.size() > 1 ? std::atoi(pos[1]) : 300;
    const QByteArray codice = pos.size() > 2 ? QByteArray(pos[2]) : QByteArray("G479");
    QFile out(QString::fromLocal8Bit(pos[0]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "impossibile scrivere %s\n", pos[0]);
        return 1;
    }

    Caso caso;
    // Owners: about one for every 1.4 units, some owning several; one in twenty a company.
    std::vector<Soggetto> soggetti;
    const int nSoggetti = std::max(1, unita * 10 / 14);
    for (int i = 0; i < nSoggetti; ++i) {
        Soggetto s{100000 + i * 3, caso(20) == 0, {}};
        if (s.societa) {
            s.campi = ansi(scegli(caso, societa)) + ' ' + scegli(caso, forme) + '|' + scegli(caso, luoghi) + '|' +
                      QByteArray::number(1000000000LL + caso(1000000000)).rightJustified(11, '0') + '|' +
                      scegli(caso, luoghi) + '|' + data(1 + caso(28), 1 + caso(12), 1990 + caso(30)) + '|' +
                      QByteArray::number(caso(90000)) + '|' + QByteArray::number(caso(20000)) + '|';
        } else {
            const bool donna = caso(2) == 0;
            s.campi = ansi(scegli(caso, cognomi)) + '|' + ansi(donna ? scegli(caso, nomiF) : scegli(caso, nomiM)) +
                      '|' + (donna ? "2" : "1") + '|' + data(1 + caso(28), 1 + caso(12), 1925 + caso(80)) + '|' +
                      scegli(caso, luoghi) + '|' + codiceFiscale(caso) + '|' + scegli(caso, luoghi) + '|' +
                      data(1 + caso(28), 1 + caso(12), 1990 + caso(30)) + '|' + QByteArray::number(caso(90000)) +
                      '|' + QByteArray::number(caso(20000)) + '|';
        }
        soggetti.push_back(std::move(s));
    }

    QByteArray buf;
    buf.reserve(1 << 20);
    auto scrivi = [&](bool forza) {
        if (forza || buf.size() > (1 << 20) - 4096) {
            out.write(buf);
            buf.clear();
        }
    };
    int esiti[4] = {0, 0, 0, 0}, riscontri = 0, istanze = 0, richieste = 0, indirizzi = 0, legami = 0;
    for (int u = 0; u < unita; ++u) {
        const QByteArray chiave = codice + "||" + QByteArray::number(1000 + u) + '|' + QByteArray::number(1 + caso(2)) + '|';
        const QByteArray cat = scegli(caso, categorie);
        const bool comune = caso(50) == 0;
        const int sup = cat.startsWith('C') ? 10 + caso(40) : 40 + caso(140);
        const int esito = caso(20) < 17 ? 1 : 2 + caso(3);
        ++esiti[esito - 1];
        const int ris = caso(3) == 0, ist = caso(15) == 0, rpl = caso(25) == 0;
        riscontri += ris;
        istanze += ist;
        richieste += rpl;
        buf += chiave + "1|" + cat + '|' + (comune ? "1" : "0") + '|' + (esito == 1 ? QByteArray::number(sup) : "") +
               '|' + QByteArray::number(esito) + '|' + '|' + QByteArray::number(ris) + '|' + QByteArray::number(ist) +
               '|' + QByteArray::number(rpl) + "||" + (caso(3) == 0 ? "A" : "") + '|' + (caso(4) == 0 ? "B" : "") +
               '|' + QByteArray::number(1 + caso(20)) + "||" + QByteArray::number(caso(6)) + "|||" + "|\r\n";

        buf += chiave + "2|";
        const int identificativi = ricca ? quanti(caso, 1, {60, 30, 10}) : 1 + (caso(6) == 0);
        for (int g = 0; g < identificativi; ++g)
            buf += "|" + QByteArray::number(1 + caso(90)) + '|' + QByteArray::number(10 + caso(2000)) + "||" +
                   QByteArray::number(1 + caso(60)) + "||";
        buf += "\r\n";

        buf += chiave + "3|";
        for (int a = 0, n = ricca ? quanti(caso, 1, {84, 16}) : 1; a < n; ++a) {
            ++indirizzi;
            buf += QByteArray::number(1 + caso(8)) + '|' + scegli(caso, toponimi) + '|' + ansi(scegli(caso, vie)) + '|' +
                   QByteArray::number(1000 + caso(800)) + '|' + QByteArray::number(1 + caso(150)) + '|' +
                   (caso(8) == 0 ? "A" : "") + "||" + QByteArray::number(1 + caso(2)) + "||||" + "61121|";
        }
        buf += "\r\n";

        if (!ricca) {
            buf += chiave + "4|";
            int resto = sup;
            for (const char* amb : {"A", "B", "C"}) {
                const int parte = amb[0] == 'C' ? resto : resto * (55 + caso(35)) / 100;
                resto -= parte;
                if (parte > 0)
                    buf += QByteArray(amb) + '|' + QByteArray::number(parte) + "|270|" + QByteArray::number(270 + caso(60)) + '|';
            }
            if (buf.endsWith("4|"))
                buf += "A|" + QByteArray::number(sup) + "|270|270|";
            buf += "\r\n";
        } else if (const int ambienti = caso(7); ambienti > 0) {
            // the rooms share the surface; a line per unit that has any
            static const char* const lettere[] = {"A", "B", "C", "D", "E", "F"};
            buf += chiave + "4|";
            int resto = sup;
            for (int a = 0; a < ambienti; ++a) {
                const int parte = a + 1 == ambienti ? resto : resto * (20 + caso(40)) / 100;
                resto -= parte;
                buf += QByteArray(lettere[a]) + '|' + QByteArray::number(parte) + "|270|" +
                       QByteArray::number(270 + caso(60)) + '|';
            }
            buf += "\r\n";
        }

        const int proprietari = ricca ? quanti(caso, 1, {40, 35, 16, 9}) : 1 + (caso(4) == 0);
        for (int o = 0; o < proprietari; ++o) {
            const Soggetto& s = soggetti[size_t(caso(int(soggetti.size())))];
            buf += chiave + (s.societa ? "6|" : "5|") + QByteArray::number(s.numero) + '|' + s.campi + "\r\n";
            ++legami;
        }
        scrivi(false);
    }
    buf += codice + "||9|" + data(30, 11, 2026) + '|' + QByteArray::number(unita) + "|SOG|" + QByteArray::number(legami) +
           "|IND|" + QByteArray::number(indirizzi) + "|ES1|" + QByteArray::number(esiti[0]) + "|ES2|" +
           QByteArray::number(esiti[1]) + "|ES3|" + QByteArray::number(esiti[2]) + "|ES4|" + QByteArray::number(esiti[3]) +
           "|RIS|" + QByteArray::number(riscontri) + "|IST|" + QByteArray::number(istanze) + "|RPL|" +
           QByteArray::number(richieste) + "|\r\n";
    scrivi(true);
    return 0;
}
