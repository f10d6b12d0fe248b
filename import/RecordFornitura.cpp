#include "RecordFornitura.h"

#include "Errore.h"
#include "Schema.h"
#include "Tabella.h"
#include "dmTabelle.h"

#include <initializer_list>

namespace Fornitura {

Tipo tipo(const CampiRiga& c)
{
    const QStringView t = c.vista(5);
    if (t.size() == 1 && t[0] >= QLatin1Char('1') && t[0] <= QLatin1Char('6'))
        return Tipo(t[0].unicode() - u'1');
    if (c.vista(3) == QLatin1String("9"))
        return Tipo::Riepilogo;
    return Tipo::Nessuno;
}

QString Data(QStringView campo)
{
    if (campo.isEmpty())
        return QString();
    QString d;
    d.reserve(10);
    d.append(campo.mid(0, 2)).append(QLatin1Char('/')).append(campo.mid(2, 2)).append(QLatin1Char('/')).append(campo.mid(4, 4));
    return d;
}

namespace {

// A column of a supply table, found by its name in the schema.
int colonna(const char* tabella, const char* nome)
{
    const DefTabella* t = Schema::tabella(QString::fromLatin1(tabella));
    const int i = t ? t->indice(QString::fromLatin1(nome)) : -1;
    if (i < 0)
        throw Errore(QStringLiteral("%1: colonna %2 sconosciuta").arg(QLatin1String(tabella), QLatin1String(nome)));
    return i;
}

// Which field of a record fills which column of its table, by the column's
// name, resolved to its position once (each user keeps one in a static).
// The columns are set in the order given, each from its field's text; a
// date field goes through Data first.
class Colonne {
public:
    struct Voce {
        int campo;
        const char* colonna;
        bool data = false;
    };
    Colonne(const char* tabella, std::initializer_list<Voce> voci)
    {
        for (const Voce& v : voci)
            voci_.push_back({v.campo, colonna(tabella, v.colonna), v.data});
    }
    // Sets every column from its field, `scostamento` fields further on
    // (a later group of a record of groups).
    void imposta(DataSet& t, const CampiRiga& c, int scostamento = 0) const
    {
        for (const Risolta& v : voci_) {
            const QStringView campo = c.vista(v.campo + scostamento);
            if (v.data)
                t.impostaTesto(v.colonna, Data(campo));
            else
                t.impostaTesto(v.colonna, campo);
        }
    }

private:
    struct Risolta {
        int campo, colonna;
        bool data;
    };
    std::vector<Risolta> voci_;
};

// The unit key of every row: fields 1 to 4.
Colonne chiave(const char* tabella)
{
    return Colonne(tabella, {{1, "Codice"}, {2, "Sezione"}, {3, "Immobile"}, {4, "Progressivo"}});
}

// One row: begun, set, stored; abandoned when anything fails.
template <typename Imposta>
void riga(DataSet& t, Imposta&& imposta)
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

// One row per group of `n` fields starting at field 6; after each group,
// stop when the next group's first field is the end marker. Group 0 is
// always attempted. `gestisci` runs each group's step and decides what an
// error does.
template <typename Errori>
void gruppi(DataSet& t, const CampiRiga& c, const Colonne& chiave, const Colonne& gruppo, int n, Errori&& gestisci)
{
    for (int k = 0;; ++k) {
        gestisci([&] {
            riga(t, [&] {
                chiave.imposta(t, c);
                gruppo.imposta(t, c, n * k);
            });
        });
        if (c.fine(6 + n * (k + 1)))
            return;
    }
}
}  // namespace

void ImportaUnita(TdTabelle& d, const CampiRiga& c)
{
    static const Colonne prima("tUnImm1", {{1, "Codice"}, {2, "Sezione"}, {3, "Immobile"}, {4, "Progressivo"},
                                           {6, "Categoria"}});
    static const int beneComune = colonna("tUnImm1", "BeneComune");
    static const Colonne dopo("tUnImm1", {{8, "Superficie"}, {9, "EsitoSup"}, {10, "EsitoAgg"}, {11, "Riscontro"},
                                          {12, "Istanza"}, {13, "RichPlan"}, {14, "Lotto"}, {15, "Edificio"},
                                          {16, "Scala"}, {17, "Interno1"}, {18, "Interno2"}, {19, "Piano1"},
                                          {20, "Piano2"}, {21, "Piano3"}, {22, "Piano4"}});
    DataSet& t = d.tUnImm1;
    riga(t, [&] {
        prima.imposta(t, c);
        t.impostaIntero(beneComune, c.vista(7) == QLatin1String("1"));  // never null
        dopo.imposta(t, c);
    });
}

void ImportaIdentificativi(TdTabelle& d, const CampiRiga& c)
{
    static const Colonne k = chiave("tUnImm2");
    static const Colonne gruppo("tUnImm2", {{6, "SezUrbana"}, {7, "Foglio"}, {8, "Numero"}, {9, "Denominatore"},
                                            {10, "Subalterno"}, {11, "Edificialita"}});
    // A failing group is skipped without a word; the import goes on. Not
    // when writing a group of gathered rows failed: those rows, of this line
    // and earlier ones, are lost, and the run must end.
    gruppi(d.tUnImm2, c, k, gruppo, 6, [](auto&& f) {
        try {
            f();
        } catch (const Tabella::ScritturaNonRiuscita&) {
            throw;
        } catch (const std::exception&) {
        }
    });
}

void ImportaIndirizzi(TdTabelle& d, const CampiRiga& c)
{
    static const Colonne k = chiave("tUnImm3");
    static const Colonne gruppo("tUnImm3", {{6, "CodiceTop"}, {7, "Toponimo"}, {8, "Denominazione"}, {9, "Strada"},
                                            {10, "Civico1"}, {11, "Civico2"}, {12, "Civico3"}, {13, "Fonte"},
                                            {14, "Delibera"}, {15, "Localita"}, {16, "KM"}, {17, "CAP"}});
    gruppi(d.tUnImm3, c, k, gruppo, 12, [](auto&& f) { f(); });
}

void ImportaAmbienti(TdTabelle& d, const CampiRiga& c)
{
    static const Colonne k = chiave("tUnImm4");
    static const Colonne gruppo("tUnImm4", {{6, "Ambiente"}, {7, "SupAmbiente"}, {8, "Altezza"}, {9, "MaxAltezza"}});
    gruppi(d.tUnImm4, c, k, gruppo, 4, [](auto&& f) { f(); });
}

namespace {
// The columns of an owner that both kinds of record set.
struct ColonneSoggetto {
    int tipo = colonna("tUnImm5_6", "Tipo");
    int denominazione = colonna("tUnImm5_6", "Denominazione");
    int cognome = colonna("tUnImm5_6", "Cognome");
    int nome = colonna("tUnImm5_6", "Nome");
    int sesso = colonna("tUnImm5_6", "Sesso");
};
}  // namespace

void ImportaPersonaFisica(TdTabelle& d, const CampiRiga& c)
{
    static const ColonneSoggetto s;
    static const Colonne k = chiave("tUnImm5_6");
    static const Colonne prima("tUnImm5_6", {{6, "Soggetto"}, {7, "Cognome"}, {8, "Nome"}});
    static const Colonne dopo("tUnImm5_6", {{10, "NData", true}, {11, "NLuogo"}, {12, "CodFisc"}, {13, "SedeAutorita"},
                                            {14, "AggData", true}, {15, "Numero"}, {16, "Repertorio"}});
    DataSet& t = d.tUnImm5_6;
    riga(t, [&] {
        k.imposta(t, c);
        t.impostaTesto(s.tipo, u"F");
        prima.imposta(t, c);
        // from the stored, already cut, surname and name
        t.impostaTesto(s.denominazione, t.valore(s.cognome).toString() + QLatin1Char(' ') + t.valore(s.nome).toString());
        t.impostaTesto(s.sesso, c.vista(9) == QLatin1String("2") ? u"F" : u"M");
        dopo.imposta(t, c);
    });
}

void ImportaPersonaGiuridica(TdTabelle& d, const CampiRiga& c)
{
    static const ColonneSoggetto s;
    static const Colonne k = chiave("tUnImm5_6");
    static const Colonne campi("tUnImm5_6", {{6, "Soggetto"}, {7, "Denominazione"}, {8, "SedeSoggetto"}, {9, "CodFisc"},
                                             {10, "SedeAutorita"}, {11, "AggData", true}, {12, "Numero"},
                                             {13, "Repertorio"}});
    DataSet& t = d.tUnImm5_6;
    riga(t, [&] {
        k.imposta(t, c);
        t.impostaTesto(s.tipo, u"G");
        campi.imposta(t, c);
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
    static const Colonne testa("tUnImm9", {{1, "Codice"}, {2, "Sezione"}, {4, "EData", true}, {5, "TotUIU"}});
    // Fields 6 to 25 fill Tipo1, Valore1 ... Tipo10, Valore10 in turn.
    struct Posizioni {
        int tipo[10], valore[10], descrizione[10];
        Posizioni()
        {
            for (int i = 0; i < 10; ++i) {
                const QByteArray n = QByteArray::number(i + 1);
                tipo[i] = colonna("tUnImm9", "Tipo" + n);
                valore[i] = colonna("tUnImm9", "Valore" + n);
                descrizione[i] = colonna("tUnImm9", "DesTipo" + n);
            }
        }
    };
    static const Posizioni p;
    DataSet& t = d.tUnImm9;
    riga(t, [&] {
        testa.imposta(t, c);
        // A longer record would run into the descriptions, which the import
        // writes itself: its further fields are ignored.
        const int ultimo = std::min(c.barre(), 25);
        for (int j = 6; j <= ultimo; ++j) {
            const int i = (j - 6) / 2;
            t.impostaTesto((j - 6) % 2 ? p.valore[i] : p.tipo[i], c.vista(j));
        }
        for (int i = 0; i < 9; ++i)
            if (t.valore(p.tipo[i]).toString() == QLatin1String(attesi[i]))
                t.impostaTesto(p.descrizione[i], QString::fromUtf8(descrizioni[i]));
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
