// The report engine alone: expressions, the pagination rules, sums,
// procedures and the value hook, the data set's cursor, text layout, items
// pushed down by a growing text, pages handed over one at a time, the
// choice of pages and the grid's columns of an export.

#include "DatiMemoria.h"
#include "Dump.h"
#include "Espressione.h"
#include "Errore.h"
#include "Esportatore.h"
#include "Preparazione.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// --- expressions -----------------------------------------------------------------

class AmbitoProva : public AmbitoEspressioni {
public:
    QVariantHash colonne, nomi;
    QVariant colonna(const QString& d, const QString& c) override
    {
        const QString k = d + QLatin1Char('.') + c;
        if (!colonne.contains(k))
            throw Errore(QStringLiteral("colonna ") + k);
        return colonne.value(k);
    }
    QVariant nome(const QString& n) override
    {
        if (!nomi.contains(n))
            throw Errore(QStringLiteral("nome ") + n);
        return nomi.value(n);
    }
    QVariant somma(int) override { return {}; }
};

TEST(Espressioni, Valori)
{
    AmbitoProva a;
    a.colonne = {{QStringLiteral("ds.Cognome"), QStringLiteral("ROSSI")},
                 {QStringLiteral("ds.Nome"), QStringLiteral("MARIO")},
                 {QStringLiteral("ds.NData"), QDate(1950, 2, 1)},
                 {QStringLiteral("ds.Vuota"), QVariant(QMetaType(QMetaType::QDate))},
                 {QStringLiteral("ds.Sup"), qint64(62)},
                 {QStringLiteral("ds.SupVuota"), QVariant(QMetaType(QMetaType::LongLong))},
                 {QStringLiteral("ds.Acc"), qint64(-9)}};
    a.nomi = {{QStringLiteral("NumCiv"), QVariant()}, {QStringLiteral("Parametro"), QStringLiteral("S")}};
    struct Caso {
        const char* testo;
        const char* atteso;
    } casi[] = {
        {"[ds.\"Cognome\"]", "ROSSI"},
        {"Pag. [ds.\"Sup\"] di [ds.\"Acc\"]", "Pag. 62 di -9"},
        {"[ds.\"NData\"]", "01/02/1950"},
        {"[ds.\"Vuota\"]|[ds.\"SupVuota\"]|[NumCiv]", "||"},  // empty values print nothing
        {"[IIF(<ds.\"NData\"> = 0,<ds.\"Cognome\"> + <ds.\"Nome\">,<ds.\"Cognome\"> + ' ' + <ds.\"Nome\">)]", "ROSSI MARIO"},
        {"[IIF(<ds.\"Vuota\"> = 0,<ds.\"Cognome\"> + <ds.\"Nome\">,'x')]", "ROSSIMARIO"},  // an empty date reads 0
        {"[Round(<ds.\"Sup\"> * 0.80)]", "50"},
        {"[Round(<ds.\"SupVuota\"> * 0.80)]", "0"},
        {"[Round(2.5)] [Round(-2.5)] [Round(0.49)]", "3 -3 0"},
        {"[YearOf(<ds.\"NData\">)]", "1950"},
        {"[DateToStr(<ds.\"Vuota\">)]", "30/12/1899"},
        {"[<ds.\"Acc\"> < 0] [<ds.\"Acc\"> >= -9] [<Parametro> = 'S'] [Parametro <> 's']", "True True True True"},
        {"[7 div 2] [7 mod 2] [7 / 2] [2 + 3 * 4] [(2 + 3) * 4] [-<ds.\"Acc\">]", "3 1 3,5 14 20 9"},
        {"[not (1 = 2) and ((1 < 2) or (2 < 1))]", "True"},  // Pascal's precedence: and/or bind tighter than <
        {"['l''uno' + 1]", "l'uno1"},
        {"[Trim('  a b ')][UpperCase('àb')]", "a bÀB"},
        {"senza parentesi", "senza parentesi"},
    };
    for (const Caso& c : casi) {
        const QString t = QString::fromUtf8(c.testo);
        EXPECT_EQ(TestoReport::compila(t).valuta(a).testo, QString::fromUtf8(c.atteso)) << c.testo;
    }
    // the value and its kind, for an export, when the whole text is one expression
    EXPECT_EQ(TestoReport::compila(QStringLiteral("[ds.\"Acc\"]")).valuta(a).valore, QVariant(qint64(-9)));
    EXPECT_FALSE(TestoReport::compila(QStringLiteral("x[ds.\"Acc\"]")).valuta(a).valore.isValid());
}

TEST(Espressioni, Errori)
{
    AmbitoProva a;
    for (const char* t : {"[1 +]", "[IIF(1, 2)]", "[Sconosciuta(1)]", "[ds.Col]", "[(1]", "[1", "['abc]",
                          "[SUM(<ds.\"X\">)]", "[SUM(<ds.\"X\">, Banda)]"})
        EXPECT_THROW(TestoReport::compila(QString::fromLatin1(t)), Errore) << t;
    EXPECT_THROW(TestoReport::compila(QStringLiteral("[Ignoto]")).valuta(a), Errore);
    EXPECT_THROW(TestoReport::compila(QStringLiteral("[1 / 0]")).valuta(a), Errore);
}

// --- the pagination rules ---------------------------------------------------------------
//
// Every band prints one text that names it, so a page reads as a line:
// "T H C 1 2 F1" is title, page header, column header, rows 1 and 2, footer of page 1.

struct Forma {
    double pagina = 100;  // page height; margins 10, so 80 mm for the bands
    double titolo = 10, testata = 10, colonne = 0, dati = 20, piede = 10, riepilogo = 0;
    double gruppo = 0, piedeGruppo = 0, figlia = 0;
    bool ripeti = false, nuovaPagina = false, riepilogoDivisibile = false, colonneSenzaRighe = false;
};

Banda& banda(ModelloReport& m, TipoBanda t, const QString& nome, double altezza, const QString& testo)
{
    Banda& b = m.aggiungi(t, nome, altezza);
    b.elementi.push_back(Elemento::Testo(nome + QStringLiteral("Testo"), 0, 0, 50, 4, testo).conCarattere(8));
    return b;
}

ModelloReport modello(const Forma& f)
{
    ModelloReport m;
    m.nome = QStringLiteral("prova");
    m.pagina.altezza = f.pagina;
    if (f.titolo)
        banda(m, TipoBanda::TitoloReport, QStringLiteral("Titolo"), f.titolo, QStringLiteral("T"));
    if (f.testata)
        banda(m, TipoBanda::IntestazionePagina, QStringLiteral("Testata"), f.testata, QStringLiteral("H"));
    if (f.colonne) {
        Banda& c = banda(m, TipoBanda::IntestazioneColonne, QStringLiteral("Colonne"), f.colonne, QStringLiteral("C"));
        c.padre = QStringLiteral("Dati");
        c.ripetiSuOgniPagina = f.ripeti;
        c.ancheSenzaRighe = f.colonneSenzaRighe;
    }
    if (f.gruppo) {
        Banda& g = banda(m, TipoBanda::IntestazioneGruppo, QStringLiteral("Gruppo"), f.gruppo, QStringLiteral("G[d.\"G\"]"));
        g.padre = QStringLiteral("Dati");
        g.condizione = QStringLiteral("<d.\"G\">");
        g.nuovaPagina = f.nuovaPagina;
    }
    Banda& d = banda(m, TipoBanda::Dati, QStringLiteral("Dati"), f.dati, QStringLiteral("[d.\"N\"]"));
    d.dati = QStringLiteral("d");
    if (f.figlia)
        banda(m, TipoBanda::Figlia, QStringLiteral("Figlia"), f.figlia, QStringLiteral("c[d.\"N\"]")).padre = QStringLiteral("Dati");
    if (f.piedeGruppo) {
        Banda& p = banda(m, TipoBanda::PiedeGruppo, QStringLiteral("PiedeGruppo"), f.piedeGruppo,
                         QStringLiteral("g[SUM(<d.\"N\">,Dati)]"));
        p.padre = QStringLiteral("Gruppo");
    }
    if (f.riepilogo) {
        // the listing's own way of writing a sum
        Banda& s = banda(m, TipoBanda::RiepilogoReport, QStringLiteral("Riepilogo"), f.riepilogo,
                         QStringLiteral("S[<SUM(<d.\"N\">,Dati)>]"));
        s.divisibile = f.riepilogoDivisibile;
        if (f.riepilogo > 10)  // a second text at its foot
            s.elementi.push_back(Elemento::Testo(QStringLiteral("FineRiepilogo"), 0, f.riepilogo - 5, 50, 4,
                                                 QStringLiteral("s")).conCarattere(8));
    }
    if (f.piede)
        banda(m, TipoBanda::PiePagina, QStringLiteral("Piede"), f.piede, QStringLiteral("F[Page#]"));
    return m;
}

DatiMemoria righe(int n, const QStringList& gruppi = {})
{
    QList<QVariantList> r;
    for (int i = 1; i <= n; ++i)
        r.append({i, gruppi.value(i - 1)});
    return DatiMemoria({{QStringLiteral("N"), TipoCampo::Intero32}, {QStringLiteral("G"), TipoCampo::Testo, 10}}, r);
}

// The texts of each page, in printing order: "T H 1 2 F1 | H 3 F2".
QString pagine(const ReportPreparato& r)
{
    QStringList p;
    for (const PaginaPreparata& pag : r.pagine) {
        QStringList t;
        for (const Primitiva& x : pag.primitive)
            if (const auto* testo = std::get_if<TestoPreparato>(&x))
                t.append(testo->stampato());
        p.append(t.join(QLatin1Char(' ')));
    }
    return p.join(QStringLiteral(" | "));
}

QString prepara(const ModelloReport& m, DataSet& ds)
{
    ds.apri();
    DatiReport d;
    d.aggiungi(QStringLiteral("d"), ds);
    return pagine(PreparaReport(m, d));
}

TEST(Impaginazione, Regole)
{
    struct Caso {
        const char* regola;
        Forma forma;
        int righe;
        QStringList gruppi;
        const char* atteso;
    } casi[] = {
        {"testata e piede su ogni pagina, titolo sulla prima, la riga che non entra passa alla pagina dopo", {}, 5, {},
         "T H 1 2 F1 | H 3 4 5 F2"},
        {"l'ultima riga entra esattamente", {.titolo = 0}, 3, {}, "H 1 2 3 F1"},
        {"nessuna riga: titolo, testata e piede", {.colonne = 5, .riepilogo = 5}, 0, {}, "T H S0 F1"},
        {"nessuna riga, intestazione di colonna chiesta anche senza righe", {.colonne = 5, .colonneSenzaRighe = true}, 0, {},
         "T H C F1"},
        {"intestazione di colonna prima della prima riga soltanto", {.colonne = 10}, 4, {}, "T H C 1 2 F1 | H 3 4 F2"},
        {"intestazione di colonna ripetuta su ogni pagina", {.colonne = 10, .ripeti = true}, 5, {},
         "T H C 1 2 F1 | H C 3 4 F2 | H C 5 F3"},
        {"intestazione di colonna insieme alla prima riga", {.titolo = 45, .colonne = 10}, 2, {}, "T H F1 | H C 1 2 F2"},
        {"una banda che entra in una pagina nuova non si divide", {.titolo = 45, .dati = 30}, 1, {}, "T H F1 | H 1 F2"},
        {"riepilogo dopo l'ultima riga", {.riepilogo = 10}, 2, {}, "T H 1 2 S3 F1"},
        {"riepilogo che non entra va alla pagina dopo", {.riepilogo = 20}, 2, {}, "T H 1 2 F1 | H S3 s F2"},
        {"riepilogo divisibile: quel che entra resta", {.riepilogo = 20, .riepilogoDivisibile = true}, 2, {},
         "T H 1 2 S3 F1 | H s F2"},
        {"banda figlia subito dopo la sua", {.titolo = 0, .dati = 10, .figlia = 10}, 4, {}, "H 1 c1 2 c2 3 c3 F1 | H 4 c4 F2"},
        {"gruppi con piede e somma del gruppo", {.titolo = 0, .dati = 10, .gruppo = 5, .piedeGruppo = 5}, 3,
         {"A", "A", "B"}, "H GA 1 2 g3 GB 3 g3 F1"},
        {"gruppo su pagina nuova, il primo no", {.titolo = 0, .dati = 10, .gruppo = 5, .nuovaPagina = true}, 3,
         {"A", "A", "B"}, "H GA 1 2 F1 | H GB 3 F2"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.regola);
        DatiMemoria ds = righe(c.righe, c.gruppi);
        EXPECT_EQ(prepara(modello(c.forma), ds), QString::fromUtf8(c.atteso));
    }
}

TEST(Impaginazione, PiedeDiGruppoNonSiDivide)
{
    // rows of 25 leave 20 mm under two rows; a footer of 30 moves whole
    Forma f{.titolo = 0, .dati = 25, .gruppo = 1, .piedeGruppo = 30};
    ModelloReport m = modello(f);
    m.banda(QStringLiteral("PiedeGruppo")).elementi.push_back(
        Elemento::Testo(QStringLiteral("FinePiede"), 0, 25, 50, 4, QStringLiteral("fine")).conCarattere(8));
    DatiMemoria ds = righe(2, {QStringLiteral("A"), QStringLiteral("A")});
    EXPECT_EQ(prepara(m, ds), QStringLiteral("H GA 1 2 F1 | H g3 fine F2"));
}

TEST(Impaginazione, BandaPiuAltaDiUnaPagina)
{
    // 100 mm of band in 60 mm of page: what lies above the cut stays, the rest
    // follows; its blank foot does not open a third page
    ModelloReport m = modello({.titolo = 0, .dati = 130});
    Banda& d = m.banda(QStringLiteral("Dati"));
    d.elementi.push_back(Elemento::Testo(QStringLiteral("Basso"), 0, 70, 50, 4, QStringLiteral("b[d.\"N\"]")).conCarattere(8));
    d.elementi.push_back(Elemento::Linea(QStringLiteral("Verticale"), 100, 0, 100, 100));
    DatiMemoria ds = righe(1);
    ds.apri();
    DatiReport dati;
    dati.aggiungi(QStringLiteral("d"), ds);
    const ReportPreparato r = PreparaReport(m, dati);
    EXPECT_EQ(pagine(r), QStringLiteral("H 1 F1 | H b1 F2"));
    // the text below the cut keeps its distance from the band's top, less the part printed
    const auto testo = [&](int p, const QString& t) {
        for (const Primitiva& x : r.pagine[size_t(p)].primitive)
            if (const auto* tp = std::get_if<TestoPreparato>(&x); tp && tp->stampato() == t)
                return tp->riquadro;
        return QRectF();
    };
    // page 1 held 60 mm of it (20 to 80), so the text at 70 comes 10 mm under page 2's header
    EXPECT_NEAR(testo(1, QStringLiteral("b1")).top(), 20 + 10, 1e-6);
    // the vertical line runs to the page's end, then on from the top of the next body
    std::vector<LineaPreparata> linee;
    for (const auto& p : r.pagine)
        for (const Primitiva& x : p.primitive)
            if (const auto* l = std::get_if<LineaPreparata>(&x))
                linee.push_back(*l);
    ASSERT_EQ(linee.size(), 2u);
    EXPECT_NEAR(linee[0].da.y(), 20, 1e-6);
    EXPECT_NEAR(linee[0].a.y(), 80, 1e-6);
    EXPECT_NEAR(linee[1].da.y(), 20, 1e-6);
    EXPECT_NEAR(linee[1].a.y(), 60, 1e-6);
}

TEST(Impaginazione, NumeriDiPaginaDaUnoAdOgniPreparazione)
{
    DatiMemoria ds = righe(5);
    const ModelloReport m = modello({});
    EXPECT_EQ(prepara(m, ds), prepara(m, ds));
    EXPECT_TRUE(prepara(m, ds).endsWith(QStringLiteral("F2")));
}

// --- sums, procedures, the value hook ------------------------------------------------------

TEST(Preparazione, SommeConValoriVuoti)
{
    DatiMemoria ds({{QStringLiteral("N"), TipoCampo::Intero32}, {QStringLiteral("G"), TipoCampo::Testo, 10}},
                   {{5, {}}, {QVariant(), {}}, {-9, {}}});
    EXPECT_EQ(prepara(modello({.titolo = 0, .dati = 5, .riepilogo = 5}), ds), QStringLiteral("H 5  -9 S-4 F1"));
}

TEST(Preparazione, ProcedureEValoreEsterno)
{
    ModelloReport m = modello({.titolo = 0, .dati = 5, .riepilogo = 5});
    m.variabili = {QStringLiteral("Logo"), QStringLiteral("Doppio")};
    Banda& d = m.banda(QStringLiteral("Dati"));
    d.elementi.front().testo = QStringLiteral("[Doppio]");
    int chiamate = 0;
    d.primaDellaStampa = [&](ScriptReport& s) {
        ++chiamate;
        const qint64 n = s.campo(QStringLiteral("d"), QStringLiteral("N")).toLongLong();
        s.impostaVariabile(QStringLiteral("Doppio"), n * 2);
        s.mostraBanda(QStringLiteral("Dati"), n != 3);  // the last row is hidden, and does not count in the sum
    };
    m.banda(QStringLiteral("Riepilogo")).elementi.front().testo = QStringLiteral("[Logo]|[SUM(<d.\"N\">,Dati)]");
    DatiMemoria ds = righe(3);
    ds.apri();
    DatiReport dati;
    dati.aggiungi(QStringLiteral("d"), ds);
    dati.valoreEsterno = [](const QString& nome) -> std::optional<QVariant> {
        if (nome.compare(QLatin1String("logo"), Qt::CaseInsensitive) == 0)
            return QVariant(QStringLiteral(".\\logo.bmp"));
        return std::nullopt;
    };
    EXPECT_EQ(pagine(PreparaReport(m, dati)), QStringLiteral("H 2 4 .\\logo.bmp|3 F1"));
    EXPECT_EQ(chiamate, 3);
    // without an answer the variable keeps its empty value
    dati.valoreEsterno = [](const QString&) { return std::nullopt; };
    EXPECT_EQ(pagine(PreparaReport(m, dati)), QStringLiteral("H 2 4 |3 F1"));
    // every preparation starts from the template: the band hidden at the end of the last run prints
    d.primaDellaStampa = {};
    EXPECT_EQ(pagine(PreparaReport(m, dati)), QStringLiteral("H    |6 F1"));
}

TEST(Preparazione, CampiOffertiEArchiviSconosciuti)
{
    DatiMemoria ds = righe(1);
    ds.apri();
    const ModelloReport m = modello({});
    DatiReport d;
    EXPECT_THROW(PreparaReport(m, d), Errore);  // no data set "d"
    d.aggiungi(QStringLiteral("d"), ds, {QStringLiteral("G")});
    EXPECT_THROW(PreparaReport(m, d), Errore);  // N is not offered
}

// --- the walked data set ---------------------------------------------------------------------

TEST(Preparazione, IlCursoreTornaAlSuoPostoSenzaMuovereLeViste)
{
    DatiMemoria ds = righe(60);
    ds.apri();
    ds.vaiA(41);
    QSignalSpy ripreso(&ds, &DataSet::seguitoRipreso);
    ModelloReport m = modello({});
    bool sospeso = true;
    m.banda(QStringLiteral("Dati")).primaDellaStampa = [&](ScriptReport&) { sospeso = sospeso && ds.seguitoSospeso(); };
    DatiReport d;
    d.aggiungi(QStringLiteral("d"), ds);
    const ReportPreparato r = PreparaReport(m, d);
    EXPECT_TRUE(pagine(r).startsWith(QStringLiteral("T H 1 2 F1")));  // from the first row
    EXPECT_TRUE(sospeso);
    EXPECT_EQ(ds.rigaCorrente(), 41);
    EXPECT_FALSE(ds.seguitoSospeso());
    EXPECT_EQ(ripreso.count(), 1);  // the views catch up once

    // also when a procedure fails half way
    m.banda(QStringLiteral("Dati")).primaDellaStampa = [&](ScriptReport& s) {
        if (s.campo(QStringLiteral("d"), QStringLiteral("N")).toInt() == 30)
            throw Errore(QStringLiteral("guasto"));
    };
    EXPECT_THROW(PreparaReport(m, d), Errore);
    EXPECT_EQ(ds.rigaCorrente(), 41);
    EXPECT_FALSE(ds.seguitoSospeso());
}

// --- text layout ------------------------------------------------------------------------------

// The one text box of a report made of one band holding `e`.
TestoPreparato unTesto(const Elemento& e, double altezzaBanda = 30, bool estendibile = false)
{
    ModelloReport m;
    Banda& b = m.aggiungi(TipoBanda::TitoloReport, QStringLiteral("T"), altezzaBanda);
    b.estendibile = estendibile;
    b.elementi.push_back(e);
    const ReportPreparato r = PreparaReport(m, DatiReport());
    for (const Primitiva& x : r.pagine.front().primitive)
        if (const auto* t = std::get_if<TestoPreparato>(&x))
            return *t;
    throw Errore(QStringLiteral("nessun testo"));
}

TEST(Testi, RigheAllineamentiELarghezze)
{
    const QString frase = QStringLiteral("UNA FRASE ABBASTANZA LUNGA DA ANDARE A CAPO");
    // word wrap inside 40 mm; the box keeps its height and drops what does not fit
    const TestoPreparato a = unTesto(Elemento::Testo(QStringLiteral("a"), 0, 0, 40, 30, frase));
    ASSERT_GE(a.righe.size(), 2);
    EXPECT_EQ(a.stampato().replace(QLatin1Char('\n'), QLatin1Char(' ')), frase);
    for (const auto& r : a.righe)
        EXPECT_FALSE(a.riga(r).startsWith(QLatin1Char(' ')) || a.riga(r).endsWith(QLatin1Char(' ')));
    const TestoPreparato b = unTesto(Elemento::Testo(QStringLiteral("b"), 0, 0, 40, 5, frase));
    EXPECT_EQ(b.righe.size(), 1);
    EXPECT_EQ(b.testo, frase);  // the whole value stays, for an export
    // a growing box takes all its lines and the band grows with it
    const TestoPreparato c = unTesto(Elemento::Testo(QStringLiteral("c"), 0, 0, 40, 5, frase).cresce(), 5, true);
    EXPECT_EQ(c.righe.size(), a.righe.size());
    EXPECT_GT(c.riquadro.height(), 5);
    // one line: cut at the box
    const TestoPreparato d = unTesto(Elemento::Testo(QStringLiteral("d"), 0, 0, 40, 5, frase).unaRiga());
    EXPECT_EQ(d.righe.size(), 1);
    EXPECT_TRUE(frase.startsWith(d.stampato()));
    EXPECT_LT(d.stampato().size(), frase.size());
    // the width of its text, kept at its right edge when right-aligned
    const TestoPreparato e = unTesto(
        Elemento::Testo(QStringLiteral("e"), 100, 0, 50, 5, QStringLiteral("Pag. 1")).dalTesto().allinea(Orizzontale::Destra));
    EXPECT_LT(e.riquadro.width(), 20);
    EXPECT_NEAR(e.riquadro.right(), 10 + 150, 1e-6);
    // centred and right-aligned lines, inside the box
    for (Orizzontale o : {Orizzontale::Centro, Orizzontale::Destra}) {
        const TestoPreparato t = unTesto(Elemento::Testo(QStringLiteral("f"), 0, 0, 60, 5, QStringLiteral("CAT.")).allinea(o));
        const double sinistra = t.righe[0].x - t.riquadro.left();
        EXPECT_GT(sinistra, o == Orizzontale::Centro ? 20 : 45);
        EXPECT_LT(sinistra, o == Orizzontale::Centro ? 30 : 60);
    }
    // justified: every line but the paragraph's last stretches to the box
    const TestoPreparato g = unTesto(
        Elemento::Testo(QStringLiteral("g"), 0, 0, 40, 30, frase + QStringLiteral("\nFINE")).allinea(Orizzontale::Giustificato));
    ASSERT_GE(g.righe.size(), 3);
    EXPECT_GT(g.righe[0].giustifica, 0);
    EXPECT_EQ(g.righe[g.righe.size() - 2].giustifica, 0);  // last line of the first paragraph
    EXPECT_EQ(g.riga(g.righe.back()), QStringLiteral("FINE"));
}

TEST(Testi, ArialMisuraComeLiberationSans)
{
    Carattere arial;
    Carattere liberation;
    liberation.famiglia = QStringLiteral("Liberation Sans");
    const QString t = QStringLiteral("Superficie dichiarata (a ruolo):");
    const double a = unTesto(Elemento::Testo(QStringLiteral("a"), 0, 0, 0, 5, t).dalTesto()).riquadro.width();
    Elemento l = Elemento::Testo(QStringLiteral("l"), 0, 0, 0, 5, t).dalTesto();
    l.carattere = liberation;
    EXPECT_NEAR(a, unTesto(l).riquadro.width(), 1e-6);
    // Arial's own widths: 133.38 points of text, and the box's two insets of 2 pixels
    EXPECT_NEAR(a, 133.38 * Misure::mmPerPunto + 2 * Misure::pixel(2), 0.05);
}

// --- a growing text pushes down what lies below it -------------------------------------------

TEST(Testi, IlTestoCheCresceSpingeGiuQuelCheStaSotto)
{
    const QString lungo = QStringLiteral("UNA FRASE ABBASTANZA LUNGA DA ANDARE A CAPO PIU' VOLTE IN UNA CASELLA STRETTA");
    // one band 30 high: a growing text at 0-40 mm, 5 high; items below, beside and above it
    struct Voce {
        const char* nome;
        Elemento e;
        bool spinto;  // moves down by what the text grew
    };
    std::vector<Voce> voci{
        {"sotto", Elemento::Testo(QStringLiteral("sotto"), 0, 6, 40, 5, QStringLiteral("S")), true},
        {"sotto, sporgente", Elemento::Testo(QStringLiteral("sporge"), 30, 12, 40, 5, QStringLiteral("P")), true},
        {"a fianco", Elemento::Testo(QStringLiteral("fianco"), 50, 6, 40, 5, QStringLiteral("A")), false},
        {"sopra", Elemento::Testo(QStringLiteral("sopra"), 0, 0, 40, 1, QStringLiteral("")), false},
        {"linea sotto", Elemento::Linea(QStringLiteral("linea"), 0, 20, 190, 20), true},
        {"riquadro a cavallo del testo", Elemento::Rettangolo(QStringLiteral("cavallo"), 0, 2, 100, 10), false},
    };
    ModelloReport m;
    Banda& b = m.aggiungi(TipoBanda::TitoloReport, QStringLiteral("T"), 30);
    b.estendibile = true;
    b.elementi.push_back(Elemento::Testo(QStringLiteral("cresce"), 0, 1, 40, 5, lungo).cresce());
    for (const Voce& v : voci)
        b.elementi.push_back(v.e);
    b.elementi.push_back(Elemento::Testo(QStringLiteral("fermo"), 100, 1, 40, 5, lungo));  // does not grow: cut
    const ReportPreparato r = PreparaReport(m, DatiReport());
    const auto& p = r.pagine.front().primitive;
    ASSERT_EQ(p.size(), voci.size() + 2);
    const auto& cresce = std::get<TestoPreparato>(p[0]);
    const double crescita = cresce.riquadro.height() - 5;
    ASSERT_GT(crescita, 5);
    EXPECT_EQ(cresce.stampato().replace(QLatin1Char('\n'), QLatin1Char(' ')), lungo);
    for (size_t i = 0; i < voci.size(); ++i) {
        const Elemento& e = voci[i].e;
        const double y = std::visit(
            [](const auto& x) -> double {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, LineaPreparata>)
                    return x.da.y();
                else
                    return x.riquadro.top();
            },
            p[i + 1]);
        EXPECT_NEAR(y, 10 + e.y + (voci[i].spinto ? crescita : 0), 1e-6) << voci[i].nome;
    }
    EXPECT_EQ(std::get<TestoPreparato>(p.back()).righe.size(), 1);
    // the band grows with what moved: to the rule under the text, 20 + growth from its top
    ModelloReport dopo = m;
    dopo.aggiungi(TipoBanda::TitoloReport, QStringLiteral("Dopo"), 5)
        .elementi.push_back(Elemento::Testo(QStringLiteral("dopo"), 0, 0, 40, 5, QStringLiteral("D")));
    const ReportPreparato r2 = PreparaReport(dopo, DatiReport());
    EXPECT_NEAR(std::get<TestoPreparato>(r2.pagine.front().primitive.back()).riquadro.top(), 10 + 20 + crescita, 1e-6);
}

TEST(Impaginazione, TestataCheCresceSuOgniPagina)
{
    // a page header whose text grows, and rows that need several pages: each
    // page's rows start under the grown header and the run ends
    ModelloReport m = modello({.titolo = 0, .testata = 5, .dati = 10});
    Banda& h = m.banda(QStringLiteral("Testata"));
    h.estendibile = true;
    h.elementi.front().testo = QStringLiteral("UNA TESTATA CHE VA A CAPO PERCHE' NON ENTRA IN CINQUANTA MILLIMETRI");
    h.elementi.front().estendibile = true;
    DatiMemoria ds = righe(12);
    ds.apri();
    DatiReport d;
    d.aggiungi(QStringLiteral("d"), ds);
    const ReportPreparato r = PreparaReport(m, d);
    ASSERT_GT(r.numeroPagine(), 2);
    int righeStampate = 0;
    for (const auto& pag : r.pagine) {
        const auto& testata = std::get<TestoPreparato>(pag.primitive.front());
        for (size_t i = 1; i < pag.primitive.size(); ++i) {
            const auto& t = std::get<TestoPreparato>(pag.primitive[i]);
            EXPECT_GE(t.riquadro.top(), testata.riquadro.bottom() - 1e-6);
            EXPECT_LE(t.riquadro.bottom(), 100 - 10 + 1e-6);
            righeStampate += t.stampato().startsWith(QLatin1Char('F')) ? 0 : 1;
        }
    }
    EXPECT_EQ(righeStampate, 12);
}

// --- pages handed over one at a time ----------------------------------------------------------

TEST(Preparazione, PagineConsegnateUnaAllaVolta)
{
    ModelloReport m = modello({.colonne = 10, .riepilogo = 10, .gruppo = 5, .piedeGruppo = 5, .ripeti = true,
                               .nuovaPagina = true});
    DatiMemoria ds = righe(9, {"A", "A", "A", "B", "B", "C", "C", "C", "C"});
    ds.apri();
    DatiReport d;
    d.aggiungi(QStringLiteral("d"), ds);
    const ReportPreparato intero = PreparaReport(m, d);
    ASSERT_GT(intero.numeroPagine(), 3);
    // the same pages, in order, numbered from 1, none kept
    QStringList consegnate;
    std::vector<int> numeri;
    const ReportPreparato vuoto = PreparaReport(m, d, [&](const ReportPreparato& r, const PaginaPreparata& p, int n) {
        ReportPreparato una;
        una.caratteri = r.caratteri;
        una.pagine.push_back(p);
        consegnate.append(DumpReport(una));
        numeri.push_back(n);
    });
    EXPECT_EQ(vuoto.numeroPagine(), 0);
    ASSERT_EQ(int(consegnate.size()), intero.numeroPagine());
    for (int i = 0; i < intero.numeroPagine(); ++i) {
        ReportPreparato una;
        una.caratteri = intero.caratteri;
        una.pagine.push_back(intero.pagine[size_t(i)]);
        EXPECT_EQ(consegnate[i], DumpReport(una)) << i;
        EXPECT_EQ(numeri[size_t(i)], i + 1);
    }
    // an error of the receiver ends the preparation, the cursor put back
    ds.vaiA(4);
    EXPECT_THROW(PreparaReport(m, d, [](const ReportPreparato&, const PaginaPreparata&, int n) {
                     if (n == 2)
                         throw Errore(QStringLiteral("disco pieno"));
                 }),
                 Errore);
    EXPECT_EQ(ds.rigaCorrente(), 4);
}

// --- what an export is given ---------------------------------------------------------------------

TEST(Esportazione, PagineScelte)
{
    const struct {
        const char* testo;
        std::optional<QList<int>> attese;
    } casi[] = {
        {"1-3,5", QList<int>{1, 2, 3, 5}},
        {" 5 , 1-2 ", QList<int>{1, 2, 5}},  // blanks ignored, ascending
        {"2,2-3,3", QList<int>{2, 3}},         // each page once
        {"7", QList<int>{7}},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"8", std::nullopt},  // beyond the last page
        {"3-1", std::nullopt},
        {"1-", std::nullopt},
        {"1;2", std::nullopt},
        {"a", std::nullopt},
        {"1,,2", std::nullopt},
    };
    for (const auto& c : casi)
        EXPECT_EQ(PagineScelte(QString::fromLatin1(c.testo), 7), c.attese) << c.testo;
}

TEST(Esportazione, ColonneDaiBordiDeiTesti)
{
    ModelloReport m;
    m.pagina.sinistro = 8;
    Banda& a = m.aggiungi(TipoBanda::TitoloReport, QStringLiteral("A"), 5);
    a.elementi.push_back(Elemento::Testo(QStringLiteral("t1"), 0, 0, 62, 5, QStringLiteral("x")));
    a.elementi.push_back(Elemento::Testo(QStringLiteral("t2"), 62.05, 0, 20, 5, QStringLiteral("x")));  // one edge with 62
    a.elementi.push_back(Elemento::Linea(QStringLiteral("l"), 0, 0, 150, 0));                         // not a text
    a.elementi.push_back(
        Elemento::Testo(QStringLiteral("d"), 170, 0, 20, 5, QStringLiteral("Pag. 1")).dalTesto().allinea(Orizzontale::Destra));
    Elemento nascosto = Elemento::Testo(QStringLiteral("n"), 100, 0, 10, 5, QStringLiteral("x"));
    nascosto.visibile = false;
    a.elementi.push_back(nascosto);
    const std::vector<double> bordi = bordiColonne(m);
    ASSERT_EQ(bordi.size(), 4u);
    EXPECT_NEAR(bordi[0], 8, 1e-9);
    EXPECT_NEAR(bordi[1], 70, 1e-9);
    EXPECT_NEAR(bordi[2], 90.05, 1e-9);
    EXPECT_NEAR(bordi[3], 198, 1e-9);  // a box as wide as its text keeps its anchored side
    EXPECT_EQ(PreparaReport(m, DatiReport()).colonne, bordi);
}

}  // namespace
