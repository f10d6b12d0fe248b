#include "ReportLettere.h"

#include "Errore.h"
#include "ReportDossier.h"
#include "dmTabelle.h"

#include <QFile>

namespace {

const QString soggetto = QStringLiteral("frxDBQSoggetto");

// The rows are read for one preparation and let go after it, however it ends.
struct ChiudiDopo {
    DataSet& ds;
    ~ChiudiDopo() { ds.chiudi(); }
};

Elemento testo(const char* nome, double x, double y, double w, double h, const QString& t)
{
    return Elemento::Testo(QLatin1String(nome), x, y, w, h, t);
}

Elemento linea(const char* nome, double x1, double y1, double x2, double y2)
{
    return Elemento::Linea(QLatin1String(nome), x1, y1, x2, y2);
}

// The vertical rules of a unit's box, from y1 to y2: solid at the column
// edges, dotted between sheet, parcel and sub-unit.
void regoleUnita(Banda& b, const char* prefisso, double y1, double y2, bool punteggiate)
{
    int n = 1;
    for (double x : {0.0, 80.0, 130.0, 159.0, 190.0})
        b.elementi.push_back(Elemento::Linea(QStringLiteral("%1%2").arg(QLatin1String(prefisso)).arg(n++), x, y1, x, y2));
    if (punteggiate)
        for (double x : {95.0, 110.0})
            b.elementi.push_back(Elemento::Linea(QStringLiteral("%1%2").arg(QLatin1String(prefisso)).arg(n++), x, y1, x, y2)
                                     .conSpessore(Misure::pixel(1), StileLinea::Punteggiata));
}

}  // namespace

ReportLettere::ReportLettere(TdTabelle& d, Uso uso)
    : AQSoggetto(d.ADOConnection1, QStringLiteral("AQSoggetto")),
      tUnImm1(d.ADOConnection1, QStringLiteral("tUnImm1")),
      tUnImm2(d.ADOConnection1, QStringLiteral("tUnImm2")),
      tUnImm3(d.ADOConnection1, QStringLiteral("tUnImm3")),
      dati_(d),
      uso_(uso)
{
    // An owner's units with the figures of the roll row that bears the
    // owner's surname, first name and birth date; the unit key whole, so
    // that the details are the unit's own.
    const QString unita = QStringLiteral("tUnImm5_6.Codice, tUnImm5_6.Sezione, tUnImm5_6.Immobile, tUnImm5_6.Progressivo, ");
    const QString ruolo = QStringLiteral(
        "tRsuTot.Superficie, tRsuTot.Ruolo, tRsuTot.Differenza, tRsuTot.Dichiarabile, tRsuTot.Accertabile, "
        "tRsuTot.Indirizzo, tRsuTot.Citta");
    const QString unione = QStringLiteral(
        "FROM tUnImm5_6 INNER JOIN tRsuTot ON (tUnImm5_6.NData = tRsuTot.NData) AND (tUnImm5_6.Nome = tRsuTot.Nome) "
        "AND (tUnImm5_6.Cognome = tRsuTot.Cognome)");
    if (uso == Uso::Tutte) {
        // Only taxpayers whose declared surface is below the reference one
        // (the letter says so), owners of the managing municipality; one
        // owner's rows together even beside a namesake.
        AQSoggetto.sql = {
            QStringLiteral("SELECT DISTINCT ") + unita +
                QStringLiteral("tUnImm5_6.Soggetto, tUnImm5_6.Denominazione, tUnImm5_6.NData, "
                               "tRsuTot.Codice AS Contribuente, ") +
                ruolo,
            unione,
            QStringLiteral("WHERE tUnImm5_6.Codice = :Codice"),
            QStringLiteral("AND tRsuTot.Accertabile > 0"),
            QStringLiteral("ORDER BY tUnImm5_6.Denominazione, tUnImm5_6.Soggetto, tRsuTot.Codice, tUnImm5_6.Sezione, "
                           "tUnImm5_6.Immobile, tUnImm5_6.Progressivo"),
        };
    } else {
        // The dossier's own owner, whoever stands on the owner list.
        AQSoggetto.sql = {
            QStringLiteral("SELECT DISTINCT ") + unita + QStringLiteral("tUnImm5_6.Denominazione, ") + ruolo,
            unione,
            QStringLiteral("WHERE tUnImm5_6.Codice = :Codice"),
            QStringLiteral("AND tUnImm5_6.Soggetto = :Soggetto"),
            QStringLiteral("AND tUnImm5_6.Cognome = :Cognome"),
            QStringLiteral("AND tUnImm5_6.Nome = :Nome"),
            QStringLiteral("AND tUnImm5_6.NData = :NData"),
            QStringLiteral("ORDER BY tUnImm5_6.Sezione, tUnImm5_6.Immobile, tUnImm5_6.Progressivo"),
        };
    }
    const QString chiave = QStringLiteral(
        "WHERE Codice = :Codice AND Sezione = :Sezione AND Immobile = :Immobile AND Progressivo = :Progressivo");
    tUnImm1.sql = {QStringLiteral("SELECT Superficie FROM tUnImm1"), chiave};
    tUnImm2.sql = {QStringLiteral("SELECT Foglio, Numero, Subalterno FROM tUnImm2"), chiave,
                   QStringLiteral("ORDER BY ProgrRec")};
    tUnImm3.sql = {QStringLiteral("SELECT Toponimo, Denominazione, Civico1 FROM tUnImm3"), chiave,
                   QStringLiteral("ORDER BY ProgrRec")};
    for (Query* q : {&tUnImm1, &tUnImm2, &tUnImm3})
        q->seguiMaster(AQSoggetto, QStringLiteral("Codice;Sezione;Immobile;Progressivo"));
}

std::optional<QVariant> ReportLettere::frxReport2GetValue(const QString& nome)
{
    if (nome.compare(QLatin1String("Logo"), Qt::CaseInsensitive) == 0 && QFile::exists(QStringLiteral("logo.bmp")))
        return QVariant(QStringLiteral("logo.bmp"));
    return std::nullopt;
}

ModelloReport ReportLettere::frxReport2(Uso uso)
{
    const bool tutte = uso == Uso::Tutte;
    ModelloReport m;
    m.nome = tutte ? QStringLiteral("Lettere ai contribuenti") : QStringLiteral("Lettera al contribuente");
    m.variabili = {QStringLiteral("NumCiv"), QStringLiteral("Logo")};  // A4 portrait, 10 mm margins: 190 mm wide
    m.allAvvio = [](ScriptReport& s) {  // frxReport2OnStartReport
        const QVariant logo = s.variabile(QStringLiteral("Logo"));
        if (!logo.isNull())
            s.caricaImmagine(QStringLiteral("Picture1"), logo.toString());
    };

    // The heading: letterhead, addressee, subject, the body and the head of the units' table.
    Banda& testa = m.aggiungi(tutte ? TipoBanda::IntestazionePagina : TipoBanda::TitoloReport,
                              tutte ? QStringLiteral("PageHeader1") : QStringLiteral("ReportTitle1"), 122);
    // The body is longer than its designed box: the box grows and what lies
    // below it moves down, so that the notice is printed whole.
    testa.estendibile = true;
    auto& t = testa.elementi;
    t.push_back(Elemento::Immagine(QStringLiteral("Picture1"), 0, 0, 27.6, 27));
    t.push_back(testo("Memo1", 0, 1, 190, 7, QStringLiteral("COMUNE DI [frxDBParametri.\"Nome\"]"))
                    .conCarattere(16)
                    .allinea(Orizzontale::Centro));
    t.push_back(testo("Memo2", 0, 9, 190, 6, QStringLiteral("(Provincia di [frxDBParametri.\"Provincia\"])"))
                    .conCarattere(12)
                    .allinea(Orizzontale::Centro));
    t.push_back(testo("Memo3", 0, 16, 190, 5, QStringLiteral("CAP: [frxDBParametri.\"CAP\"] - [frxDBParametri.\"Indirizzo\"]"))
                    .allinea(Orizzontale::Centro));
    t.push_back(testo("Memo4", 30, 22, 50, 5, QStringLiteral("C.F. [frxDBParametri.\"CodFis\"]")).unaRiga());
    t.push_back(testo("Memo5", 113, 22, 37, 5, QStringLiteral("Tel. [frxDBParametri.\"Telefono\"]"))
                    .allinea(Orizzontale::Destra)
                    .unaRiga());
    t.push_back(testo("Memo6", 152, 22, 37, 5, QStringLiteral("Fax. [frxDBParametri.\"Fax\"]"))
                    .allinea(Orizzontale::Destra)
                    .unaRiga());
    t.push_back(testo("Memo7", 0, 23, 190, 5, QStringLiteral("UFFICIO TRIBUTI")).conCarattere(11, true).allinea(Orizzontale::Centro));
    t.push_back(linea("Line1", 0, 29, 190, 29).conSpessore(Misure::pixel(2)));
    t.push_back(testo("Memo8", 1, 34, 60, 5, QStringLiteral("Prot. n°__________")));
    const QString destinatario = tutte ? QStringLiteral("[frxDBQSoggetto.\"Denominazione\"]")
                                       : QStringLiteral("Sig. [frxDBQSoggetto.\"Denominazione\"]");
    t.push_back(testo("Memo9", 116, 36, 72, 5, destinatario).unaRiga());
    t.push_back(testo("Memo10", 116, 42, 72, 5, QStringLiteral("[frxDBQSoggetto.\"Indirizzo\"]")).unaRiga());
    t.push_back(testo("Memo11", 116, 48, 72, 5, QStringLiteral("[frxDBQSoggetto.\"Citta\"]")).unaRiga());
    for (double y : {41.0, 47.0, 53.0})
        t.push_back(Elemento::Linea(QStringLiteral("Line%1").arg(int(y)), 111, y, 190, y));
    t.push_back(testo("Memo12", 1, 61, 16, 5, QStringLiteral("Oggetto:")));
    t.push_back(testo("Memo13", 18, 61, 168, 9,
                      QStringLiteral("TASSA RIFIUTI SOLIDI URBANI - COMUNICAZIONE NUOVA SUPERFICIE DI RIFERIMENTO "
                                     "(Art. 1, comma 340, Legge 311/2004)."))
                    .conCarattere(10, true)
                    .allinea(Orizzontale::Giustificato)
                    .cresce());
    t.push_back(testo("Memo14", 1, 71, 187, 33,
                      QStringLiteral(
                          "Egregio Contribuente,\n"
                          "L'art. 1 comma 340, Legge 311/2004 stabilisce che, a decorrere dal 01/01/2005, la superficie di "
                          "riferimento su cui calcolare la Tassa Rifiuti Solidi Urbani (TARSU), per le unità immobiliari di "
                          "proprietà privata a destinazione ordinaria censite al catasto edilizio urbano, non può essere "
                          "inferiore all'80% della superficie catastale.\n"
                          "Per gli immobili già denunciati è altresì previsto che i Comuni modificano d'ufficio le superfici "
                          "che risultano inferiori alla predetta percentuale, dandone comunicazione agli interessati.\n"
                          "Pertanto Le comunichiamo che dalle verifiche eseguite risulta che la superficie da Lei dichiarata "
                          "relativa ai locali utilizzati, è inferiore alla nuova superficie minima di riferimento, che ad "
                          "ogni buon fine di seguito si trascrive:"))
                    .allinea(Orizzontale::Giustificato)
                    .cresce());
    t.push_back(testo("Memo15", 1, 105, 40, 5, QStringLiteral("PROSPETTO:")).conCarattere(10, true));
    t.push_back(Elemento::Rettangolo(QStringLiteral("Shape1"), 0, 111, 190, 11));
    for (double x : {80.0, 130.0, 159.0})
        t.push_back(Elemento::Linea(QStringLiteral("Line%1").arg(int(x)), x, 111, x, 122));
    t.push_back(testo("Memo16", 1, 111, 78, 11, QStringLiteral("Indirizzo di ubicazione"))
                    .conCarattere(10, false, true)
                    .allinea(Orizzontale::Sinistra, Verticale::Centro));
    t.push_back(testo("Memo17", 82, 111, 46, 11, QStringLiteral("Dati catastali:\nFoglio - Numero - Subalterno"))
                    .conCarattere(10, false, true)
                    .allinea(Orizzontale::Centro, Verticale::Centro));
    t.push_back(testo("Memo18", 132, 111, 25, 11, QStringLiteral("Superficie catastale (mq)"))
                    .conCarattere(10, false, true)
                    .allinea(Orizzontale::Centro, Verticale::Centro));
    t.push_back(testo("Memo19", 161, 111, 28, 11, QStringLiteral("Superficie di riferimento (80%)"))
                    .conCarattere(10, false, true)
                    .allinea(Orizzontale::Centro, Verticale::Centro));

    // Batch: a new letter, on a page of its own, for every owner.
    if (tutte) {
        Banda& gruppo = m.aggiungi(TipoBanda::IntestazioneGruppo, QStringLiteral("GroupHeader1"), 0);
        gruppo.padre = QStringLiteral("MasterData1");
        gruppo.condizione = QStringLiteral("<frxDBQSoggetto.\"Soggetto\">");
        gruppo.nuovaPagina = true;
    }

    // One line per unit, its identifiers under it, closed by a rule.
    Banda& unita = m.aggiungi(TipoBanda::Dati, QStringLiteral("MasterData1"), 5);
    unita.dati = soggetto;
    unita.elementi.push_back(linea("Line20", 0, 0, 190, 0));
    regoleUnita(unita, "Line2", 0, 5, true);
    unita.elementi.push_back(
        testo("Memo20", 1, 0, 77, 5, QStringLiteral("[frxDB3.\"Toponimo\"] [frxDB3.\"Denominazione\"] [NumCiv]")).unaRiga());
    unita.elementi.push_back(
        testo("Memo21", 134, 0, 21, 5, QStringLiteral("[frxDB1.\"Superficie\"]")).conCarattere(10, true).allinea(Orizzontale::Destra));
    unita.elementi.push_back(testo("Memo22", 165, 0, 21, 5, QStringLiteral("[Round(<frxDB1.\"Superficie\"> * 0.80)]"))
                                 .conCarattere(10, true)
                                 .allinea(Orizzontale::Destra));
    unita.primaDellaStampa = [](ScriptReport& s) {  // MasterData1OnBeforePrint
        s.impostaVariabile(QStringLiteral("NumCiv"), QVariant());
        s.impostaVariabile(QStringLiteral("NumCiv"),
                           ReportDossier::NumCiv(s.campo(QStringLiteral("frxDB3"), QStringLiteral("Civico1"))));
    };

    Banda& identificativi = m.aggiungi(TipoBanda::Dettaglio, QStringLiteral("DetailData1"), 4);
    identificativi.dati = QStringLiteral("frxDB2");
    identificativi.padre = QStringLiteral("MasterData1");
    regoleUnita(identificativi, "Line3", 0, 4, true);
    identificativi.elementi.push_back(
        testo("Memo23", 81, 0, 13, 4, QStringLiteral("[frxDB2.\"Foglio\"]")).conCarattere(8).allinea(Orizzontale::Centro));
    identificativi.elementi.push_back(
        testo("Memo24", 96, 0, 13, 4, QStringLiteral("[frxDB2.\"Numero\"]")).conCarattere(8).allinea(Orizzontale::Centro));
    identificativi.elementi.push_back(
        testo("Memo25", 112, 0, 16, 4, QStringLiteral("[frxDB2.\"Subalterno\"]")).conCarattere(8).allinea(Orizzontale::Centro));

    Banda& chiusura = m.aggiungi(TipoBanda::PiedeDati, QStringLiteral("Footer1"), 2);
    chiusura.padre = QStringLiteral("DetailData1");
    chiusura.ancheSenzaRighe = true;  // a unit without identifiers is closed too
    regoleUnita(chiusura, "Line4", 0, 1, false);
    chiusura.elementi.push_back(linea("Line40", 0, 1, 190, 1));

    // The closing part: totals, the notice, the signature. Batch: after each
    // owner's units, whole on one page; single: once, split if it must.
    Banda& fine = tutte ? m.aggiungi(TipoBanda::PiedeGruppo, QStringLiteral("GroupFooter1"), 62)
                        : m.aggiungi(TipoBanda::RiepilogoReport, QStringLiteral("ReportSummary1"), 62);
    if (tutte)
        fine.padre = QStringLiteral("GroupHeader1");
    else
        fine.divisibile = true;
    fine.estendibile = true;
    auto& f = fine.elementi;
    f.push_back(testo("Memo26", 95, 0, 18, 5, QStringLiteral("TOTALI:")).conCarattere(10, true));
    f.push_back(Elemento::Rettangolo(QStringLiteral("Shape2"), 113, 0, 77, 17));
    struct Totale {
        const char *etichetta, *valore;
        double y;
        const char *testoEtichetta, *campo;
        bool sottolineato;
    };
    static const Totale totali[] = {
        {"Memo27", "Memo28", 1, "Superficie di riferimento (80%):", "Dichiarabile", false},
        {"Memo29", "Memo30", 6, "Superficie dichiarata (a ruolo):", "Ruolo", false},
        {"Memo31", "Memo32", 11, "Maggiore superficie accertabile:", "Accertabile", true},
    };
    for (const Totale& r : totali) {
        f.push_back(testo(r.etichetta, 114, r.y, 55, 5, QString::fromUtf8(r.testoEtichetta))
                        .conCarattere(10, true, false, r.sottolineato)
                        .allinea(Orizzontale::Destra));
        f.push_back(testo(r.valore, 171, r.y, 17, 5, QStringLiteral("[frxDBQSoggetto.\"%1\"]").arg(QLatin1String(r.campo)))
                        .conCarattere(10, false, false, r.sottolineato)
                        .allinea(Orizzontale::Destra));
    }
    f.push_back(testo("Memo33", 0, 23, 189, 14,
                      QStringLiteral("Giuste le superiori risultanze si comunica e notifica ad ogni effetto, che con "
                                     "decorrenza 01/01/[YearOf(Date)] sarà iscritta a ruolo la superficie per come sopra "
                                     "accertata, per l'importo della tariffa determinata di anno in anno dalla Giunta "
                                     "Comunale."))
                    .allinea(Orizzontale::Giustificato)
                    .cresce());
    f.push_back(testo("Memo34", 124, 37, 63, 5, QStringLiteral("Il Funzionario Responsabile")).allinea(Orizzontale::Centro));
    f.push_back(testo("Memo35", 1, 40, 110, 5, QStringLiteral("[frxDBParametri.\"Nome\"] lì ____________________")).unaRiga());
    f.push_back(testo("Memo36", 124, 42, 63, 9, QStringLiteral("[frxDBParametri.\"Firma\"]")).allinea(Orizzontale::Centro));

    // The messenger's receipt, cut off along the dotted rule.
    Banda& ricevuta = m.aggiungi(TipoBanda::Figlia, QStringLiteral("Child1"), 45);
    ricevuta.padre = fine.nome;
    ricevuta.estendibile = true;
    auto& c = ricevuta.elementi;
    c.push_back(linea("Line50", 0, 0, 190, 0).conSpessore(Misure::pixel(1), StileLinea::Punteggiata));
    c.push_back(testo("Memo37", 0, 4, 190, 5,
                      QStringLiteral("COMUNE DI [frxDBParametri.\"Nome\"] (Provincia di [frxDBParametri.\"Provincia\"])"))
                    .unaRiga());
    c.push_back(testo("Memo38", 0, 11, 189, 9,
                      QStringLiteral("Io sottoscritto Messo Comunale dichiaro di aver oggi notificato il presente avviso al "
                                     "contribuente Sig. [frxDBQSoggetto.\"Denominazione\"]"))
                    .allinea(Orizzontale::Giustificato)
                    .cresce());
    c.push_back(testo("Memo39", 0, 22, 55, 5, QStringLiteral("consegnandone copia a mano di:")).unaRiga());
    c.push_back(linea("Line51", 55, 26, 190, 26));
    c.push_back(testo("Memo40", 4, 31, 60, 5, QStringLiteral("IL CONSEGNATARIO")));
    c.push_back(testo("Memo41", 141, 31, 49, 5, QStringLiteral("IL MESSO COMUNALE")));
    c.push_back(linea("Line52", 1, 44, 45, 44));
    c.push_back(linea("Line53", 135, 44, 186, 44));
    return m;
}

ModelloReport ReportLettere::modello()
{
    ModelloReport m = frxReport2(uso_);
    if (uso_ == Uso::Tutte) {
        lettere_.clear();
        // each new owner's group header opens a letter on the page it prints on
        m.banda(QStringLiteral("GroupHeader1")).primaDellaStampa = [this](ScriptReport& s) {
            lettere_.push_back({s.pagina(), AQSoggetto.valore(u"Contribuente"), AQSoggetto.testo(u"Denominazione")});
        };
    }
    return m;
}

DatiReport ReportLettere::dati(const QDateTime& adesso)
{
    DatiReport d;
    QStringList campi{QStringLiteral("Denominazione"), QStringLiteral("Indirizzo"), QStringLiteral("Citta"),
                      QStringLiteral("Superficie"),    QStringLiteral("Ruolo"),     QStringLiteral("Differenza"),
                      QStringLiteral("Dichiarabile"),  QStringLiteral("Accertabile")};
    if (uso_ == Uso::Tutte)
        campi << QStringLiteral("Soggetto") << QStringLiteral("NData");
    d.aggiungi(soggetto, AQSoggetto, campi);
    d.aggiungi(QStringLiteral("frxDB1"), tUnImm1, {QStringLiteral("Superficie")});
    d.aggiungi(QStringLiteral("frxDB2"), tUnImm2,
               {QStringLiteral("Foglio"), QStringLiteral("Numero"), QStringLiteral("Subalterno")});
    d.aggiungi(QStringLiteral("frxDB3"), tUnImm3,
               {QStringLiteral("Toponimo"), QStringLiteral("Denominazione"), QStringLiteral("Civico1")});
    d.aggiungi(QStringLiteral("frxDBParametri"), dati_.tParametri,
               {QStringLiteral("Codice"), QStringLiteral("Nome"), QStringLiteral("Provincia"), QStringLiteral("CodFis"),
                QStringLiteral("Indirizzo"), QStringLiteral("Telefono"), QStringLiteral("Fax"), QStringLiteral("Firma"),
                QStringLiteral("CAP")});
    d.valoreEsterno = &ReportLettere::frxReport2GetValue;
    d.adesso = adesso;
    return d;
}

ReportPreparato ReportLettere::prepara(const QDateTime& adesso)
{
    ChiudiDopo chiudi{AQSoggetto};
    AQSoggetto.chiudi();
    AQSoggetto.parametri[QStringLiteral("Codice")] = dati_.codiceGestione();
    AQSoggetto.apri();
    return PreparaReport(modello(), dati(adesso));
}

int ReportLettere::prepara(const ConsegnaPagina& consegna, const QDateTime& adesso)
{
    ChiudiDopo chiudi{AQSoggetto};
    AQSoggetto.chiudi();
    AQSoggetto.parametri[QStringLiteral("Codice")] = dati_.codiceGestione();
    AQSoggetto.apri();
    int pagine = 0;
    PreparaReport(modello(), dati(adesso), [&](const ReportPreparato& r, const PaginaPreparata& p, int numero) {
        consegna(r, p, numero);
        pagine = numero;
    });
    return pagine;
}

ReportPreparato ReportLettere::preparaSingola(qint64 numero, const QDateTime& adesso)
{
    ChiudiDopo chiudi{AQSoggetto};
    AQSoggetto.chiudi();
    // the owner's name and birth date as the supply holds them
    Query proprietario(dati_.ADOConnection1, QStringLiteral("qSoggetto"));
    proprietario.sql = {QStringLiteral("SELECT Cognome, Nome, NData FROM tUnImm5_6"),
                        QStringLiteral("WHERE Codice = :Codice AND Soggetto = :Soggetto")};
    proprietario.parametri[QStringLiteral("Codice")] = dati_.codiceGestione();
    proprietario.parametri[QStringLiteral("Soggetto")] = numero;
    proprietario.apri();
    auto& p = AQSoggetto.parametri;
    p[QStringLiteral("Codice")] = dati_.codiceGestione();
    p[QStringLiteral("Soggetto")] = numero;
    p[QStringLiteral("Cognome")] = proprietario.valore(u"Cognome");
    p[QStringLiteral("Nome")] = proprietario.valore(u"Nome");
    p[QStringLiteral("NData")] = proprietario.valore(u"NData");
    AQSoggetto.apri();
    return PreparaReport(modello(), dati(adesso));
}

QString ReportLettere::nomeFile(const QVariant& contribuente, const QString& denominazione)
{
    QString nome = (contribuente.isNull() ? QString() : contribuente.toString()) + QLatin1Char('-') + denominazione.trimmed();
    for (QChar& c : nome)
        if (c < QLatin1Char(' ') || QStringView(u"\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    // Windows drops dots and blanks at the end of a name
    while (nome.endsWith(QLatin1Char('.')) || nome.endsWith(QLatin1Char(' ')))
        nome.chop(1);
    return nome.left(200) + QStringLiteral(".pdf");
}
