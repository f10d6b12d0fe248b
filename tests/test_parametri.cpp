// The management parameters: confirming the row, the municipality picked in
// the list of supplies, the summary text; the look-up's query.

#include "Ambiente.h"
#include "CercaComune.h"
#include "Collazione.h"
#include "Parametri.h"
#include "Query.h"
#include "dmTabelle.h"

#include <gtest/gtest.h>

namespace {

struct Caso {
    const char* descrizione;
    const char* nome;
    const char* codice;
    const char* nomeAtteso;
    const char* codiceAtteso;
};

TEST(Parametri, ConfermaComeIlDialogo)
{
    const Caso casi[] = {
        {"nome trovato: il codice viene dall'elenco", "ROMA", "X999", "ROMA", "H501"},
        {"blanchi ai lati tolti", "  PESARO  ", "", "PESARO", "G479"},
        {"maiuscole contano", "Roma", "X999", "Roma", "X999"},
        {"nome sconosciuto: resta il codice scritto", "ATLANTIDE", "Z000", "ATLANTIDE", "Z000"},
        {"apostrofo", "CAVAGLIO D'AGOGNA", "", "CAVAGLIO D'AGOGNA", "C365"},
    };
    for (const Caso& c : casi) {
        Ambiente a;
        TdTabelle d;
        d.DataModuleCreate();
        d.tParametri.impostaTesto(u"Nome", QString::fromUtf8(c.nome));
        d.tParametri.impostaTesto(u"Codice", QString::fromUtf8(c.codice));
        Parametri::conferma(d);
        EXPECT_EQ(d.tParametri.stato(), DataSet::Stato::Consultazione) << c.descrizione;
        TdTabelle riletto;
        riletto.DataModuleCreate();
        EXPECT_EQ(riletto.tParametri.testo(u"Nome"), QString::fromUtf8(c.nomeAtteso)) << c.descrizione;
        EXPECT_EQ(riletto.codiceGestione(), QString::fromUtf8(c.codiceAtteso)) << c.descrizione;
    }
}

TEST(Parametri, SenzaModificheNonRegistraNulla)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    a.sql(QStringLiteral("UPDATE tParametri SET Nome = ' ROMA '"));  // another process, meanwhile
    Parametri::conferma(d);
    const auto db = a.connessione();
    Comando c = db->prepara(QStringLiteral("SELECT Nome, Codice FROM tParametri"));
    ASSERT_TRUE(c.passo());
    EXPECT_EQ(c.testo(0), QStringLiteral(" ROMA "));
    EXPECT_EQ(c.testo(1), QString());
}

TEST(Parametri, TabellaQuadratureDaiTipiPresenti)
{
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    TdTabelle d;
    d.DataModuleCreate();
    EXPECT_EQ(Parametri::tabellaQuadrature(d.tUnImm9), QString());  // no supply yet
    a.sql(QStringLiteral("INSERT INTO tUnImm9 (Codice, Sezione, TotUIU, Tipo1, Valore1, DesTipo1, Valore2, DesTipo2, "
                         "Tipo3, Valore3, DesTipo3, Tipo4, DesTipo4) VALUES ('G479', '', 8, '01', 300, 'Unità trattate', "
                         "7, 'senza tipo', 'X', 0, 'Zero', '', 'tipo vuoto');"
                         "INSERT INTO tUnImm9 (Codice, Tipo1, Valore1, DesTipo1) VALUES ('H501', '01', 9, 'Roma')"));
    d.applicaFiltroGestione();
    EXPECT_EQ(Parametri::tabellaQuadrature(d.tUnImm9), QStringLiteral("300 - Unità trattate\n0 - Zero"));
}

TEST(Parametri, SceltaDalleForniture)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    d.tParametri.impostaTesto(u"Nome", QStringLiteral("PESARO"));
    d.tParametri.impostaTesto(u"Codice", QStringLiteral("G479"));
    d.tParametri.registra();
    // the municipality already summarised: nothing changes, no edit begins
    Parametri::sceltaComune(d, QStringLiteral("G479"), QStringLiteral("G479"), QStringLiteral("PESARO"));
    EXPECT_EQ(d.tParametri.stato(), DataSet::Stato::Consultazione);
    // another one: its code and name, as the list gives them
    Parametri::sceltaComune(d, QStringLiteral("G479"), QStringLiteral("Z999"), QString());
    EXPECT_EQ(d.tParametri.stato(), DataSet::Stato::Modifica);
    EXPECT_EQ(d.tParametri.testo(u"Codice"), QStringLiteral("Z999"));
    EXPECT_EQ(d.tParametri.testo(u"Nome"), QString());
    // the look-up's choice arrives padded
    Parametri::copiaComune(d, QStringLiteral(" H501 "), QStringLiteral("ROMA                               "));
    EXPECT_EQ(d.tParametri.testo(u"Codice"), QStringLiteral("H501"));
    EXPECT_EQ(d.tParametri.testo(u"Nome"), QStringLiteral("ROMA"));
}

TEST(Parametri, ComuniFornitiConIlNome)
{
    Ambiente a;
    a.sql(QStringLiteral("INSERT INTO tUnImm9 (Codice) VALUES ('G479'), ('Q000')"));
    TdTabelle d;
    d.DataModuleCreate();
    Query q(d.ADOConnection1, QStringLiteral("ADOQuery1"));
    q.sql = Parametri::sqlComuniForniti();
    q.apri();
    ASSERT_EQ(q.righe(), 2);
    EXPECT_EQ(q.testoRiga(0, q.campo(u"Comune")).trimmed(), QStringLiteral("PESARO"));
    EXPECT_EQ(q.testoRiga(1, q.campo(u"Comune")), QString());  // a code missing from tComuni
}

TEST(CercaComune, PrefissoComeLetterale)
{
    Ambiente a;
    TdTabelle d;
    d.DataModuleCreate();
    Query q(d.ADOConnection1, QStringLiteral("ADOQuery1"));
    q.sql = CercaComune::sql();
    q.apri();
    EXPECT_GT(q.righe(), 7000);  // every municipality
    const struct {
        const char* testo;
        const char* riga;
        const char* primo;
    } casi[] = {
        {"ROM", "WHERE Nome LIKE 'ROM%'", "ROMA"},
        {"CAVAGLIO D'", "WHERE Nome LIKE 'CAVAGLIO D''%'", "CAVAGLIO D'AGOGNA"},
        {"", "WHERE Nome LIKE '%'", "ABANO TERME"},
        {"XYZ", "WHERE Nome LIKE 'XYZ%'", nullptr},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_EQ(CercaComune::condizione(QString::fromUtf8(c.testo)), QString::fromUtf8(c.riga));
        q.chiudi();
        q.sql[CercaComune::rigaCondizione] = CercaComune::condizione(QString::fromUtf8(c.testo));
        q.apri();
        if (!c.primo) {
            EXPECT_TRUE(q.vuoto());
            continue;
        }
        EXPECT_EQ(q.testo(u"Nome").trimmed(), QString::fromUtf8(c.primo));
        // name order, each name beginning with the text
        for (int r = 1; r < q.righe(); ++r) {
            const QString nome = q.testoRiga(r, q.campo(u"Nome"));
            EXPECT_TRUE(nome.startsWith(QString::fromUtf8(c.testo))) << nome.toStdString();
            EXPECT_LE(Collazione::confronta(q.testoRiga(r - 1, q.campo(u"Nome")).toStdString(), nome.toStdString()), 0);
        }
    }
}

}  // namespace
