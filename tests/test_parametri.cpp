// Confirming the management parameters.

#include "Ambiente.h"
#include "Parametri.h"
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
    Connessione db(QStringLiteral("sorvel.mdb"), Connessione::Apertura::Esistente);
    Comando c = db.prepara(QStringLiteral("SELECT Nome, Codice FROM tParametri"));
    ASSERT_TRUE(c.passo());
    EXPECT_EQ(c.testo(0), QStringLiteral(" ROMA "));
    EXPECT_EQ(c.testo(1), QString());
}

}  // namespace
