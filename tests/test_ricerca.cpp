// The cadastral search: the condition line of an identifier search, the
// municipality filter, the category count and total, the owners following
// the unit under either list's cursor.

#include "RicercaCatastale.h"
#include "UnitaDiProva.h"
#include "dmTabelle.h"

#include <gtest/gtest.h>

namespace {

// The supply of UnitaDiProva.h.
class Ricerca : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        unitaDiProva(*amb);
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        r = std::make_unique<RicercaCatastale>(*dati);
    }
    QStringList proprietari() const
    {
        QStringList p;
        const Query& q = r->ADOQuery3;
        for (int i = 0; q.aperto() && i < q.righe(); ++i)
            p.append(q.testoRiga(i, q.campo(u"Denominazione")));
        return p;
    }
    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<RicercaCatastale> r;
};

TEST(RigaCondizione, ComeLaCompongonoLeCaselle)
{
    const struct {
        Identificativo id;
        const char* atteso;
    } casi[] = {
        {{}, ""},
        {{{}, {}, QStringLiteral("345"), {}}, "WHERE Numero = '345'"},
        {{QStringLiteral("B"), {}, {}, QStringLiteral("6")}, "WHERE SezUrbana = 'B' AND Subalterno = '6'"},
        {{{}, QStringLiteral("12"), QStringLiteral("345"), QStringLiteral("6")},
         "WHERE Foglio = '12' AND Numero = '345' AND Subalterno = '6'"},
        {{QStringLiteral("A"), QStringLiteral("1"), {}, {}}, "WHERE SezUrbana = 'A' AND Foglio = '1'"},
        {{{}, {}, {}, QStringLiteral("1'")}, "WHERE Subalterno = '1'''"},
    };
    for (const auto& c : casi)
        EXPECT_EQ(RicercaCatastale::condizione(c.id), QString::fromUtf8(c.atteso));
}

TEST_F(Ricerca, IdentificativoNelComuneDiGestione)
{
    const struct {
        const char* descrizione;
        Identificativo id;
        int quantita;
    } casi[] = {
        {"caselle vuote: tutto il Comune", {}, 3},
        {"foglio e numero", {{}, QStringLiteral("12"), QStringLiteral("345"), {}}, 2},
        {"uguaglianza sul testo intero: zeri iniziali contano", {{}, {}, QStringLiteral("345"), {}}, 2},
        {"sezione e subalterno", {QStringLiteral("B"), {}, {}, QStringLiteral("6")}, 1},
        {"nessuno", {{}, QStringLiteral("99"), {}, {}}, 0},
        {"un apostrofo è un valore", {{}, QStringLiteral("1' OR '1'='1"), {}, {}}, 0},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.descrizione);
        EXPECT_EQ(r->cercaIdentificativo(c.id), c.quantita);
        EXPECT_EQ(r->ADOQuery1.righe(), c.quantita);
    }
    // the first row's owners, of this municipality only, in name order, once each
    r->cercaIdentificativo({{}, QStringLiteral("12"), QStringLiteral("345"), QStringLiteral("6")});
    EXPECT_EQ(r->ImmobileCorrente, 1);
    EXPECT_EQ(proprietari(), (QStringList{QStringLiteral("BIANCHI ANNA"), QStringLiteral("ROSSI MARIO")}));
    // a new managing municipality counts at the next opening
    amb->codice(QStringLiteral("H501"));
    dati->tParametri.chiudi();
    dati->tParametri.apri();
    EXPECT_EQ(r->cercaIdentificativo({}), 1);
}

TEST_F(Ricerca, CategoriaQuantitaESuperficie)
{
    const struct {
        const char* categoria;
        int quantita;
        const char* superficie;
    } casi[] = {{"", 3, "181"}, {"A02", 2, "140"}, {"C06", 1, "41"}, {"F01", 0, ""}, {"A'", 0, ""}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.categoria);
        const RicercaCatastale::Categoria e = r->cercaCategoria(QString::fromUtf8(c.categoria));
        EXPECT_EQ(e.quantita, c.quantita);
        EXPECT_EQ(e.superficie, QString::fromUtf8(c.superficie));
    }
    // the outcome as text; a code outside the four leaves it empty
    r->cercaCategoria(QStringLiteral("A02"));
    EXPECT_EQ(r->ADOQuery2.testo(u"Esito"), QStringLiteral("Superficie calcolata"));
    r->ADOQuery2.ultimo();
    EXPECT_EQ(r->ADOQuery2.testo(u"Esito"), QString());
}

TEST_F(Ricerca, IProprietariSeguonoLaListaCercata)
{
    r->cercaCategoria(QString());
    EXPECT_FALSE(r->ADOQuery1.aperto());
    EXPECT_EQ(proprietari(), (QStringList{QStringLiteral("BIANCHI ANNA"), QStringLiteral("ROSSI MARIO")}));
    r->ADOQuery2.prossimo();
    EXPECT_EQ(r->ImmobileCorrente, 2);
    EXPECT_EQ(proprietari(), QStringList{QStringLiteral("ROSSI MARIO")});
    r->ADOQuery2.prossimo();
    EXPECT_EQ(proprietari(), QStringList{QStringLiteral("VERDI ADA")});

    // an identifier search closes the category list and takes the owners over
    r->cercaIdentificativo({{}, QStringLiteral("12"), {}, QStringLiteral("7")});
    EXPECT_FALSE(r->ADOQuery2.aperto());
    EXPECT_EQ(proprietari(), QStringList{QStringLiteral("ROSSI MARIO")});
    // moving the closed category list's cursor changes nothing any more
    r->ADOQuery2.primo();
    EXPECT_EQ(proprietari(), QStringList{QStringLiteral("ROSSI MARIO")});
    // nothing found: no unit, no owners
    r->cercaIdentificativo({{}, QStringLiteral("99"), {}, {}});
    EXPECT_FALSE(r->ADOQuery3.aperto() && !r->ADOQuery3.vuoto());
    EXPECT_EQ(r->ImmobileCorrente, 2);
}

}  // namespace
