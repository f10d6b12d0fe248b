#include "DatiDemo.h"

#include "Connessione.h"
#include "dmTabelle.h"
#include "Parametri.h"

#include <QStringList>

namespace DatiDemo {

namespace {
const char* const cognomi[] = {"ROSSI", "BIANCHI", "FERRARI", "ROMANO", "COLOMBO", "RICCI", "MARINO", "GRECO",
                               "BRUNO", "GALLO", "CONTI", "DE LUCA", "COSTA", "GIORDANO", "MANCINI", "RIZZO",
                               "LOMBARDI", "MORETTI", "D'ANGELO", "FONTANA", "SANTORO", "MARIANI", "RINALDI",
                               "CARUSO", "FERRARA", "GALLI", "MARTINI", "LEONE", "LONGO", "GENTILE", "MARTINELLI",
                               "VITALE"};
const char* const nomiM[] = {"MARIO", "GIUSEPPE", "LUCA", "ANDREA", "NICOLÒ", "FRANCESCO", "PAOLO", "STEFANO"};
const char* const nomiF[] = {"MARIA", "ANNA", "GIULIA", "FRANCESCA", "CHIARA", "LUCIA", "ELENA", "SARA"};
const char* const societa[] = {"EDILIZIA ADRIATICA S.R.L.", "IMMOBILIARE FOGLIA S.P.A.", "PESARO CASE S.N.C.",
                               "L'ARCOBALENO SOCIETA' COOPERATIVA", "COSTRUZIONI MONTEFELTRO S.R.L.",
                               "AZIENDA AGRICOLA SAN BARTOLO"};
const char* const vie[] = {"ROSSINI", "BRANCA", "GIOACCHINO ROSSINI", "XI FEBBRAIO", "MAMELI", "GARIBALDI",
                           "SAN FRANCESCO", "DELLA REPUBBLICA", "FLAMINIA", "MONTEGRAPPA"};
const char* const luoghi[] = {"G479", "D488", "L500", "A271", "H501", "F205"};

QString s(const char* t) { return QString::fromUtf8(t); }

// Pseudo-random but fixed: the demo is the same on every machine.
struct Sequenza {
    quint32 x = 20261210;
    int operator()(int n) { x = x * 1103515245u + 12345u; return int((x >> 8) % quint32(n)); }
};

// The check characters of an Italian tax code are not verified anywhere in
// the program; the demo builds a plausible-looking one.
QString codiceFiscale(const QString& cognome, const QString& nome, int anno, int mese, int giorno, bool donna,
                      const char* luogo)
{
    auto consonanti = [](const QString& t) {
        QString c, v;
        for (QChar ch : t) {
            if (!ch.isLetter())
                continue;
            (QStringLiteral("AEIOUÒ").contains(ch) ? v : c) += ch;
        }
        return (c + v + QStringLiteral("XXX")).left(3);
    };
    static const char mesi[] = "ABCDEHLMPRST";
    return consonanti(cognome) + consonanti(nome) + QStringLiteral("%1").arg(anno % 100, 2, 10, QLatin1Char('0')) +
           QLatin1Char(mesi[mese - 1]) + QStringLiteral("%1").arg(giorno + (donna ? 40 : 0), 2, 10, QLatin1Char('0')) +
           QString::fromLatin1(luogo) + QLatin1Char(char('A' + (anno + mese + giorno) % 26));
}
}  // namespace

int inserisci(TdTabelle& d)
{
    Connessione& db = d.connessione();
    Transazione tr(db);

    d.tParametri.modifica();
    d.tParametri.impostaTesto(u"Nome", QStringLiteral("PESARO"));
    d.tParametri.impostaTesto(u"Provincia", QStringLiteral("PESARO E URBINO"));
    d.tParametri.impostaTesto(u"CodFis", QStringLiteral("00272430414"));
    d.tParametri.impostaTesto(u"Indirizzo", QStringLiteral("PIAZZA DEL POPOLO 1"));
    d.tParametri.impostaTesto(u"Telefono", QStringLiteral("0721 3871"));
    d.tParametri.impostaTesto(u"Fax", QStringLiteral("0721 387211"));
    d.tParametri.impostaTesto(u"Firma", QStringLiteral("Il Funzionario Responsabile"));
    Parametri::conferma(d);
    d.applicaFiltroGestione();
    d.AzzeraArchivi();

    const QString codice = d.codiceGestione();
    Sequenza caso;
    int immobile = 1000;
    int soggetti = 0;
    auto unita = [&](int progressivo) {
        ++immobile;
        d.CodiceRiga = codice;
        d.SezioneRiga = QString();
        d.ImmobileRiga = QString::number(immobile);
        d.ProgressivoRiga = QString::number(progressivo);
        auto chiave = [&](DataSet& t) {
            t.aggiungi();
            t.impostaTesto(u"Codice", codice);
            t.impostaTesto(u"Sezione", QString());
            t.impostaTesto(u"Immobile", d.ImmobileRiga);
            t.impostaTesto(u"Progressivo", d.ProgressivoRiga);
        };
        static const char* const categorie[] = {"A02", "A03", "A03", "A04", "C06", "C02", "A07"};
        const QString cat = s(categorie[caso(7)]);
        const int sup = cat.startsWith(QLatin1Char('C')) ? 12 + caso(30) : 55 + caso(110);
        chiave(d.tUnImm1);
        d.tUnImm1.impostaTesto(u"Categoria", cat);
        d.tUnImm1.impostaValore(u"BeneComune", false);
        d.tUnImm1.impostaTesto(u"Superficie", QString::number(sup));
        d.tUnImm1.impostaTesto(u"EsitoSup", QString::number(1 + caso(10) / 8));
        d.tUnImm1.impostaTesto(u"Riscontro", QString::number(caso(2)));
        d.tUnImm1.impostaTesto(u"Piano1", QString::number(caso(4)));
        d.tUnImm1.registra();

        chiave(d.tUnImm2);
        d.tUnImm2.impostaTesto(u"Foglio", QString::number(10 + caso(60)));
        d.tUnImm2.impostaTesto(u"Numero", QString::number(100 + caso(900)));
        d.tUnImm2.impostaTesto(u"Subalterno", QString::number(1 + caso(30)));
        d.tUnImm2.registra();

        chiave(d.tUnImm3);
        d.tUnImm3.impostaTesto(u"CodiceTop", QStringLiteral("1"));
        d.tUnImm3.impostaTesto(u"Toponimo", caso(5) == 0 ? QStringLiteral("PIAZZA") : QStringLiteral("VIA"));
        d.tUnImm3.impostaTesto(u"Denominazione", s(vie[caso(10)]));
        d.tUnImm3.impostaTesto(u"Civico1", QString::number(1 + caso(120)));
        d.tUnImm3.impostaTesto(u"Fonte", QString::number(1 + caso(2)));
        d.tUnImm3.impostaTesto(u"CAP", QStringLiteral("61121"));
        d.tUnImm3.registra();

        int resto = sup;
        for (const char* amb : {"A", "B", "C"}) {
            if (resto <= 0)
                break;
            const int parte = std::max(1, amb[0] == 'C' ? resto : resto * (60 + caso(30)) / 100);
            resto -= parte;
            chiave(d.tUnImm4);
            d.tUnImm4.impostaTesto(u"Ambiente", s(amb));
            d.tUnImm4.impostaTesto(u"SupAmbiente", QString::number(parte));
            d.tUnImm4.impostaTesto(u"Altezza", QStringLiteral("270"));
            d.tUnImm4.impostaTesto(u"MaxAltezza", QStringLiteral("270"));
            d.tUnImm4.registra();
        }
    };
    auto proprietario = [&](DataSet& t, int soggetto) {
        t.aggiungi();
        t.impostaTesto(u"Codice", codice);
        t.impostaTesto(u"Sezione", QString());
        t.impostaTesto(u"Immobile", d.ImmobileRiga);
        t.impostaTesto(u"Progressivo", d.ProgressivoRiga);
        t.impostaTesto(u"Soggetto", QString::number(soggetto));
    };

    for (int i = 0; i < 32; ++i) {
        const bool donna = i % 3 == 1;
        const QString cognome = s(cognomi[i]);
        const QString nome = s(donna ? nomiF[caso(8)] : nomiM[caso(8)]);
        const int anno = 1935 + caso(60), mese = 1 + caso(12), giorno = 1 + caso(28);
        const char* luogo = luoghi[caso(6)];
        const int soggetto = 500000 + i * 7;
        for (int u = 0, n = 1 + caso(3); u < n; ++u) {
            unita(1);
            proprietario(d.tUnImm5_6, soggetto);
            d.tUnImm5_6.impostaTesto(u"Tipo", QStringLiteral("F"));
            d.tUnImm5_6.impostaTesto(u"Cognome", cognome);
            d.tUnImm5_6.impostaTesto(u"Nome", nome);
            d.tUnImm5_6.impostaTesto(u"Denominazione", cognome + QLatin1Char(' ') + nome);
            d.tUnImm5_6.impostaTesto(u"Sesso", donna ? QStringLiteral("F") : QStringLiteral("M"));
            d.tUnImm5_6.impostaValore(u"NData", QDate(anno, mese, giorno));
            d.tUnImm5_6.impostaTesto(u"NLuogo", s(luogo));
            d.tUnImm5_6.impostaTesto(u"CodFisc", codiceFiscale(cognome, nome, anno, mese, giorno, donna, luogo));
            d.tUnImm5_6.registra();
        }
        ++soggetti;
    }
    for (int i = 0; i < 6; ++i) {
        const int soggetto = 900000 + i * 11;
        for (int u = 0, n = 2 + caso(4); u < n; ++u) {
            unita(1 + u % 2);
            proprietario(d.tUnImm5_6, soggetto);
            d.tUnImm5_6.impostaTesto(u"Tipo", QStringLiteral("G"));
            d.tUnImm5_6.impostaTesto(u"Denominazione", s(societa[i]));
            d.tUnImm5_6.impostaTesto(u"SedeSoggetto", s(luoghi[i % 3]));
            d.tUnImm5_6.impostaTesto(u"CodFisc", QStringLiteral("0") + QString::number(1234567 + i * 98765) + QStringLiteral("041"));
            d.tUnImm5_6.registra();
        }
        ++soggetti;
    }

    d.tUnImm9.aggiungi();
    d.tUnImm9.impostaTesto(u"Codice", codice);
    d.tUnImm9.impostaTesto(u"Sezione", QString());
    d.tUnImm9.impostaValore(u"EData", QDate(2026, 11, 30));
    d.tUnImm9.impostaTesto(u"TotUIU", QString::number(immobile - 1000));
    d.tUnImm9.registra();

    tr.conferma();
    d.applicaFiltroGestione();
    return soggetti;
}

}  // namespace DatiDemo
