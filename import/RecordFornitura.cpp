#include "RecordFornitura.h"

#include "Errore.h"
#include "dmTabelle.h"

CampiRiga::CampiRiga(QStringView riga)
{
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < riga.size(); ++i)
        if (riga[i] == QLatin1Char('|')) {
            campi_.push_back(riga.mid(inizio, i - inizio));
            inizio = i + 1;
        }
}

QString CampiRiga::operator()(int n) const
{
    if (fine(n))
        return QStringLiteral("$");
    return campi_[size_t(n - 1)].toString();
}

QString CampiRiga::vista(int n) const
{
    if (fine(n))
        return QStringLiteral("$");
    const QStringView v = campi_[size_t(n - 1)];
    return QString::fromRawData(v.data(), v.size());
}

namespace Fornitura {

Tipo tipo(const CampiRiga& c)
{
    const QString t = c.vista(5);
    if (t.size() == 1 && t[0] >= QLatin1Char('1') && t[0] <= QLatin1Char('6'))
        return Tipo(t[0].unicode() - u'1');
    if (c.vista(3) == QLatin1String("9"))
        return Tipo::Riepilogo;
    return Tipo::Nessuno;
}

QString Data(const QString& campo)
{
    if (campo.isEmpty())
        return QString();
    return campo.mid(0, 2) + QLatin1Char('/') + campo.mid(2, 2) + QLatin1Char('/') + campo.mid(4, 4);
}

namespace {
// Columns are set by position: each table's columns are in the order of its
// definition, the unit key first.
void chiave(DataSet& t, const CampiRiga& c)
{
    for (int i = 0; i < 4; ++i)
        t.impostaTesto(i, c.vista(i + 1));
}

// One row per group of `n` fields starting at field 6, into the columns
// from `primaColonna`; after each group, stop when the next group's first
// field is the end marker. Group 0 is always attempted.
template <typename Errori>
void gruppi(DataSet& t, const CampiRiga& c, int n, int primaColonna, Errori&& gestisci)
{
    for (int k = 0;; ++k) {
        gestisci([&] {
            t.aggiungi();
            try {
                chiave(t, c);
                for (int j = 0; j < n; ++j)
                    t.impostaTesto(primaColonna + j, c.vista(6 + n * k + j));
                t.registra();
            } catch (...) {
                t.annulla();
                throw;
            }
        });
        if (c.fine(6 + n * (k + 1)))
            return;
    }
}

void riga(DataSet& t, const std::function<void()>& imposta)
{
    t.aggiungi();
    try {
        imposta();
        t.registra();
    } catch (...) {
        t.annulla();
        throw;
    }
}
}  // namespace

void ImportaUnita(TdTabelle& d, const CampiRiga& c)
{
    DataSet& t = d.tUnImm1;
    riga(t, [&] {
        chiave(t, c);
        t.impostaTesto(4, c.vista(6));                             // Categoria
        t.impostaValore(5, c.vista(7) == QLatin1String("1"));      // BeneComune
        for (int col = 6; col <= 20; ++col)                  // Superficie ... Piano4
            t.impostaTesto(col, c.vista(col + 2));
    });
}

void ImportaIdentificativi(TdTabelle& d, const CampiRiga& c)
{
    // A failing group is skipped without a word; the import goes on.
    gruppi(d.tUnImm2, c, 6, 5, [](auto&& f) {
        try {
            f();
        } catch (const std::exception&) {
        }
    });
}

void ImportaIndirizzi(TdTabelle& d, const CampiRiga& c)
{
    gruppi(d.tUnImm3, c, 12, 5, [](auto&& f) { f(); });
}

void ImportaAmbienti(TdTabelle& d, const CampiRiga& c)
{
    gruppi(d.tUnImm4, c, 4, 5, [](auto&& f) { f(); });
}

void ImportaPersonaFisica(TdTabelle& d, const CampiRiga& c)
{
    DataSet& t = d.tUnImm5_6;
    riga(t, [&] {
        chiave(t, c);
        t.impostaTesto(5, QStringLiteral("F"));   // Tipo
        t.impostaTesto(6, c.vista(6));                  // Soggetto
        t.impostaTesto(9, c.vista(7));                  // Cognome
        t.impostaTesto(10, c.vista(8));                 // Nome
        // Denominazione from the stored, already cut, surname and name
        t.impostaTesto(7, t.valore(9).toString() + QLatin1Char(' ') + t.valore(10).toString());
        t.impostaTesto(11, c.vista(9) == QLatin1String("2") ? QStringLiteral("F") : QStringLiteral("M"));  // Sesso
        t.impostaTesto(12, Data(c.vista(10)));          // NData
        t.impostaTesto(13, c.vista(11));                // NLuogo
        t.impostaTesto(14, c.vista(12));                // CodFisc
        t.impostaTesto(15, c.vista(13));                // SedeAutorita
        t.impostaTesto(16, Data(c.vista(14)));          // AggData
        t.impostaTesto(17, c.vista(15));                // Numero
        t.impostaTesto(18, c.vista(16));                // Repertorio
    });
}

void ImportaPersonaGiuridica(TdTabelle& d, const CampiRiga& c)
{
    DataSet& t = d.tUnImm5_6;
    riga(t, [&] {
        chiave(t, c);
        t.impostaTesto(5, QStringLiteral("G"));   // Tipo
        t.impostaTesto(6, c.vista(6));                  // Soggetto
        t.impostaTesto(7, c.vista(7));                  // Denominazione
        t.impostaTesto(8, c.vista(8));                  // SedeSoggetto
        t.impostaTesto(14, c.vista(9));                 // CodFisc
        t.impostaTesto(15, c.vista(10));                // SedeAutorita
        t.impostaTesto(16, Data(c.vista(11)));          // AggData
        t.impostaTesto(17, c.vista(12));                // Numero
        t.impostaTesto(18, c.vista(13));                // Repertorio
    });
}

void ImportaRiepilogo(TdTabelle& d, const CampiRiga& c)
{
    static const char* const attesi[9] = {"SOG", "IND", "ES1", "ES2", "ES3", "ES4", "RIS", "IST", "RPL"};
    static const char* const descrizioni[9] = {
        "Soggetti forniti dall'Agenzia o oggetto di proposta di aggiornamento da parte del Comune",
        "Indirizzi forniti dall'Agenzia o oggetto di proposta di aggiornamento da parte del Comune",
        "Unità immobiliari con superficie calcolata",
        "Unità immobiliari con superficie non calcolabile",
        "Unità immobiliari con superficie in corso di definizione",
        "Unità immobiliari con planimetrie non presenti in atti",
        "Unità immobiliari che hanno trovato riscontro nella banca dati comunale",
        "Unità immobiliari per le quali è stata presentata istanza",
        "Unità immobiliari per le quali è stato richiesto al contribuente di presentare la planimetria"};
    DataSet& t = d.tUnImm9;
    riga(t, [&] {
        t.impostaTesto(0, c.vista(1));        // Codice
        t.impostaTesto(1, c.vista(2));        // Sezione
        t.impostaTesto(2, Data(c.vista(4)));  // EData
        t.impostaTesto(3, c.vista(5));        // TotUIU
        // Fields 6 to 25 fill Tipo1, Valore1 ... Tipo10, Valore10. A longer
        // record would run into the descriptions, which the import writes
        // itself: its further fields are ignored.
        const int ultimo = std::min(c.barre(), 25);
        for (int j = 6; j <= ultimo; ++j)
            t.impostaTesto(j - 2, c.vista(j));
        for (int i = 0; i < 9; ++i)
            if (t.valore(4 + 2 * i).toString() == QLatin1String(attesi[i]))
                t.impostaTesto(24 + i, QString::fromUtf8(descrizioni[i]));
    });
}

void importa(TdTabelle& d, const CampiRiga& c)
{
    switch (tipo(c)) {
    case Tipo::Unita: ImportaUnita(d, c); break;
    case Tipo::Identificativi: ImportaIdentificativi(d, c); break;
    case Tipo::Indirizzi: ImportaIndirizzi(d, c); break;
    case Tipo::Ambienti: ImportaAmbienti(d, c); break;
    case Tipo::PersonaFisica: ImportaPersonaFisica(d, c); break;
    case Tipo::PersonaGiuridica: ImportaPersonaGiuridica(d, c); break;
    case Tipo::Riepilogo: ImportaRiepilogo(d, c); break;
    case Tipo::Nessuno: break;
    }
}

}  // namespace Fornitura
