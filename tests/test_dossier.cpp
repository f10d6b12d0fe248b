// The owner dossier: the surface comparison, the lists following the unit,
// the decodes, and the hand-off request.

#include "Ambiente.h"
#include "ConfrontoSuperfici.h"
#include "DossierSoggetto.h"
#include "Query.h"
#include "Richiesta.h"
#include "dmTabelle.h"

#include <gtest/gtest.h>

namespace {

// A small supply: owner 7 has units 1 (60 m²) and 2 (41 m²) in G479, unit 3
// in H501 (500 m²), and is listed twice on unit 1; owner 8 has unit 4 with no
// surface; owner 9 nothing.
class Dossier : public ::testing::Test {
protected:
    void SetUp() override
    {
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        amb->sql(QStringLiteral(
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie, EsitoSup) VALUES "
            "('G479', '', 1, 1, 'A02', 60, '1'), ('G479', '', 2, 1, 'C06', 41, '3'), ('H501', '', 3, 1, 'A02', 500, '1'),"
            "('G479', '', 4, 1, 'A03', NULL, '2');"
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Soggetto) VALUES "
            "('G479', '', 1, 1, 1, 7), ('G479', '', 1, 1, 2, 7), ('G479', '', 2, 1, 1, 7), ('H501', '', 3, 1, 1, 7),"
            "('G479', '', 4, 1, 1, 8);"
            "INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Foglio, Numero, Subalterno) VALUES "
            "('G479', '', 1, 1, 1, '12', '345', '6'), ('G479', '', 1, 1, 2, '12', '345', '6'), ('G479', '', 2, 1, 1, '13', '1', '2');"
            "INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Toponimo, Denominazione, Fonte) VALUES "
            "('G479', '', 1, 1, 1, 'VIA', 'ROSSINI', 1), ('G479', '', 2, 1, 1, 'PIAZZA', 'DEL POPOLO', 3);"
            "INSERT INTO tUnImm4 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Ambiente, SupAmbiente) VALUES "
            "('G479', '', 1, 1, 1, 'A', 50), ('G479', '', 1, 1, 2, 'B', 8), ('G479', '', 1, 1, 3, 'G', 2)"));
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
    }
    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
};

TEST(Dichiarabile, OttantaPerCentoArrotondato)
{
    const std::pair<qint32, qint32> casi[] = {{0, 0},     {1, 1},     {3, 2},         {6, 5},   {101, 81},
                                              {103, 82},  {1234, 987}, {-3, -2},      {2, 2},   {4, 3},
                                              {2147483647, 1717986918}};
    for (const auto& [totale, atteso] : casi)
        EXPECT_EQ(Dichiarabile(totale), atteso) << totale;
}

TEST_F(Dossier, ConfrontoSuperfici)
{
    struct Caso {
        const char* descrizione;
        qint64 soggetto;
        qint32 ruolo;
        const char* totale;
        qint32 differenza, dichiarabile, accertabile;
    } casi[] = {
        // 60 + 41: unit 1 counts once though the owner is listed twice; Rome's unit not at all
        {"60 + 41 con ruolo 70", 7, 70, "101", 31, 81, 11},
        {"60 + 41 con ruolo 90", 7, 90, "101", 11, 81, -9},
        {"fuori dalla modalità: ruolo 0", 7, 0, "101", 101, 81, 81},
        {"nessuna superficie", 8, 30, "", -30, 0, -30},
        {"nessuna unità", 9, 12, "", -12, 0, -12},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.descrizione);
        const Confronto r = ConfrontoSuperfici(*dati, QStringLiteral("G479"), c.soggetto, c.ruolo);
        EXPECT_EQ(r.totaleTesto, QString::fromLatin1(c.totale));
        EXPECT_EQ(r.totale, QString::fromLatin1(c.totale).toInt());
        EXPECT_EQ(r.ruolo, c.ruolo);
        EXPECT_EQ(r.differenza, c.differenza);
        EXPECT_EQ(r.dichiarabile, c.dichiarabile);
        EXPECT_EQ(r.accertabile, c.accertabile);
    }
    EXPECT_EQ(ConfrontoSuperfici(*dati, QStringLiteral("H501"), 7, 0).totaleTesto, QStringLiteral("500"));
    // the code is a literal, never SQL
    EXPECT_EQ(ConfrontoSuperfici(*dati, QStringLiteral("G4' OR ''='"), 7, 0).totaleTesto, QString());
}

TEST_F(Dossier, ListeCheSeguonoLUnita)
{
    DossierSoggetto d(*dati);
    d.apri(7);
    // unit 1 once, though listed twice; Rome's unit filtered out
    ASSERT_EQ(d.ADOQuery4.righe(), 2);
    EXPECT_EQ(d.ADOQuery4.intero(u"Immobile"), 1);
    EXPECT_EQ(d.ADOQuery4.testo(u"Esito"), QStringLiteral("Superficie calcolata"));
    EXPECT_EQ(d.ADOQuery1.righe(), 1);  // the two identical identifier rows are one
    EXPECT_EQ(d.ADOQuery1.testo(u"Foglio"), QStringLiteral("12"));
    EXPECT_EQ(d.ADOQuery2.testo(u"DesFonte"), QStringLiteral("Riconosciuto nello stradario catastale"));
    ASSERT_EQ(d.ADOQuery3.righe(), 3);
    d.ADOQuery3.ultimo();
    EXPECT_EQ(d.ADOQuery3.testo(u"DesAmbiente"), QString());  // G has no text

    d.ADOQuery4.prossimo();
    EXPECT_EQ(d.ADOQuery4.intero(u"Immobile"), 2);
    EXPECT_EQ(d.ADOQuery1.testo(u"Foglio"), QStringLiteral("13"));
    EXPECT_EQ(d.ADOQuery2.testo(u"Denominazione"), QStringLiteral("DEL POPOLO"));
    EXPECT_EQ(d.ADOQuery2.testo(u"DesFonte"), QString());
    EXPECT_EQ(d.ADOQuery3.righe(), 0);  // a unit without rooms

    d.apri(9);  // an owner without units after one with units
    EXPECT_EQ(d.ADOQuery4.righe(), 0);
    for (Query* q : {&d.ADOQuery1, &d.ADOQuery2, &d.ADOQuery3})
        EXPECT_EQ(q->righe(), 0);
}

TEST(Decodifiche, FonteEAmbiente)
{
    EXPECT_EQ(DossierSoggetto::DesFonte(2), QStringLiteral("Riconosciuto anche su fonti esterne e certificate"));
    EXPECT_EQ(DossierSoggetto::DesFonte(0), QString());
    EXPECT_EQ(DossierSoggetto::DesFonte(QVariant()), QString());
    const std::pair<const char*, const char*> ambienti[] = {
        {"A", "A) Vani aventi funzione principale"}, {"C", "C) Vani accessori a indiritto servizio"},
        {"F", "F) Aree scoperte"}, {"H", "H) Vani accessori a diretto servizi di principali per unità"},
        {"G", ""}, {"a", ""}, {"", ""}, {"AB", ""}};
    for (const auto& [codice, inizio] : ambienti) {
        const QString t = DossierSoggetto::DesAmbiente(QString::fromLatin1(codice));
        if (*inizio)
            EXPECT_TRUE(t.startsWith(QString::fromUtf8(inizio))) << codice << ": " << t.toStdString();
        else
            EXPECT_EQ(t, QString()) << codice;
    }
}

// --- the hand-off request ---------------------------------------------------------------

QString richiesta(const QString& cognome, const QString& nome, const QString& data, const QString& cf,
                  const QString& superficie)
{
    return cognome.leftJustified(30) + nome.leftJustified(30) + data.leftJustified(10) + cf.leftJustified(16) +
           superficie;
}

TEST(Richiesta, Campi)
{
    RichiestaContribuente r = Richiesta::analizza(
        richiesta(QStringLiteral(" ROSSI"), QStringLiteral("MARIO "), QStringLiteral("03/04/1950"),
                  QStringLiteral("RSSMRA50D03H501X"), QStringLiteral("   120")));
    EXPECT_TRUE(r.persona);
    EXPECT_EQ(r.nome, QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(r.nascita, QDate(1950, 4, 3));
    EXPECT_EQ(r.codFisc, QStringLiteral("RSSMRA50D03H501X"));
    EXPECT_EQ(r.superficie, 120);

    struct Superficie {
        const char* campo;
        qint32 valore;
    } superfici[] = {{"   120", 120}, {"000120", 120}, {"120   ", 0}, {"      ", 0}, {"", 0},
                     {"  -15", -15}, {"12a", 0}, {"1234567", 123456}};
    for (const auto& s : superfici)
        EXPECT_EQ(Richiesta::analizza(richiesta({}, {}, {}, {}, QString::fromLatin1(s.campo))).superficie, s.valore)
            << s.campo;

    // no birth date: columns 1-60 are one name
    r = Richiesta::analizza(richiesta(QStringLiteral("EDILIZIA ADRIATICA"), QStringLiteral("S.R.L."), {},
                                      QStringLiteral("01234567890"), {}));
    EXPECT_FALSE(r.persona);
    EXPECT_EQ(r.nome, QStringLiteral("EDILIZIA ADRIATICA").leftJustified(30) + QStringLiteral("S.R.L."));
    // a blank first name leaves the surname alone; a bad date is the zero date
    r = Richiesta::analizza(richiesta(QStringLiteral("ROSSI"), {}, QStringLiteral("31/02/1950"), {}, {}));
    EXPECT_EQ(r.nome, QStringLiteral("ROSSI"));
    EXPECT_EQ(r.nascita, QDate(1899, 12, 30));
    // a short line and control characters
    r = Richiesta::analizza(QStringLiteral("\tVERDI\x01"));
    EXPECT_FALSE(r.persona);
    EXPECT_EQ(r.nome, QStringLiteral("VERDI"));
    EXPECT_EQ(r.codFisc, QString());
    EXPECT_EQ(r.superficie, 0);
}

TEST(Richiesta, RicercheNellElenco)
{
    Ambiente a;
    a.codice(QStringLiteral("G479"));
    a.soggetto(QStringLiteral("G479"), 1, 10, QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("RSSMRA50"),
               QStringLiteral("1950-04-03"));
    a.soggetto(QStringLiteral("G479"), 2, 20, QStringLiteral("ROSSI"), QStringLiteral("MARIO GIUSEPPE"),
               QStringLiteral("RSSMGS50"), QStringLiteral("1950-04-03"));
    a.sql(QStringLiteral("INSERT INTO tUnImm5_6 (Codice, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
                         "CodFisc) VALUES ('G479', 3, 1, 1, 'G', 30, 'EDILIZIA ADRIATICA S.R.L.', '01234567890')"));
    TdTabelle d;
    d.DataModuleCreate();
    Query elenco(d.ADOConnection1, QStringLiteral("elenco"));
    elenco.sql = {QStringLiteral("SELECT Codice, Soggetto, Denominazione, NData, CodFisc FROM tUnImm5_6 ORDER BY Denominazione")};
    elenco.apri();
    struct Caso {
        const char* descrizione;
        QString riga;
        qint64 soggetto;  // 0: nothing found
    } casi[] = {
        {"nome e data, altre maiuscole", richiesta(QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("03/04/1950"), {}, {}), 10},
        {"nome più lungo: decide il codice fiscale",
         richiesta(QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("03/04/1950"), QStringLiteral("RSSMGS50"), {}), 10},
        {"altra data: decide il codice fiscale",
         richiesta(QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("04/04/1950"), QStringLiteral("RSSMGS50"), {}), 20},
        {"società per inizio del nome", richiesta(QStringLiteral("EDILIZIA"), {}, {}, {}, {}), 30},
        {"nessuno", richiesta(QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("01/01/1960"), QStringLiteral("XYZ"), {}), 0},
    };
    for (const Caso& c : casi) {
        elenco.primo();
        EXPECT_EQ(Richiesta::trova(elenco, Richiesta::analizza(c.riga)), c.soggetto != 0) << c.descrizione;
        if (c.soggetto) {
            EXPECT_EQ(elenco.intero(u"Soggetto"), c.soggetto) << c.descrizione;
        }
    }
}

}  // namespace
