#include "Cli.h"

#include "DossierSoggetto.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "EsportatoreXlsx.h"
#include "ReportDossier.h"
#include "ReportElencoSoggetti.h"
#include "LettereDivise.h"
#include "ReportLettere.h"
#include "ReportTabulato.h"
#include "dmTabelle.h"

#include <QFileInfo>
#include <functional>
#include <map>

namespace Cli {

namespace {

// The --pdf a report needs: the usage line when it is missing or empty.
QString pdfObbligatorio(const Argomenti& a, const char* uso)
{
    const QString v = a.valore(u"--pdf").value_or(QString());
    if (v.isEmpty())
        throw Errore(QString::fromUtf8(uso));
    return v;
}

void scrivi(const ReportPreparato& r, const QString& pdf)
{
    ScriviPdf(r, pdf);
    out() << r.titolo << ": " << r.numeroPagine() << (r.numeroPagine() == 1 ? " pagina" : " pagine") << " in "
          << QFileInfo(pdf).filePath() << '\n';
}

int owners(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report owners --pdf FILE";
    const Argomenti a(arg, {{QStringLiteral("--pdf")}}, 0, 0, QString::fromUtf8(uso));
    const QString pdf = pdfObbligatorio(a, uso);
    TdTabelle d;
    avvia(d);
    Query elenco(d.ADOConnection1, QStringLiteral("ADOQuery1"));
    ElencoSoggetti::apri(elenco, d);
    scrivi(ReportElencoSoggetti::prepara(elenco), pdf);
    return 0;
}

int dossier(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report dossier SOGGETTO [--ruolo N] --pdf FILE";
    const Argomenti a(arg, {{QStringLiteral("--pdf")}, {QStringLiteral("--ruolo")}}, 1, 1, QString::fromUtf8(uso));
    const QString& testoSoggetto = a.posizionali().front();
    const auto soggetto = intero32(testoSoggetto);
    if (!soggetto)
        throw Errore(QStringLiteral("Numero del soggetto non valido: '%1' (%2)").arg(testoSoggetto, gammaIntero32()));
    const QString pdf = pdfObbligatorio(a, uso);
    TdTabelle d;
    avvia(d);
    // With --ruolo the report prints as in the hand-off mode.
    if (const auto valore = a.valore(u"--ruolo")) {
        const auto n = intero32(*valore);
        if (!n)
            throw Errore(QStringLiteral("Superficie a ruolo non valida: '%1' (%2)").arg(*valore, gammaIntero32()));
        d.ModalitaS = true;
        d.SuperficieRuolo = *n;
    }
    DossierSoggetto ds(d);
    ds.apri(*soggetto);
    const Confronto figure = ds.confronta(*soggetto, d.SuperficieRuolo);
    ReportDossier report(d);
    scrivi(report.prepara(ds, *soggetto, d.ModalitaS ? QStringLiteral("S") : QString(), figure), pdf);
    return 0;
}

void pagine(const QString& titolo, int n, const QString& file)
{
    out() << titolo << ": " << n << (n == 1 ? " pagina" : " pagine") << " in " << QFileInfo(file).filePath() << '\n';
}

// The control listing, page by page into the PDF file and the spreadsheet.
int listing(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report listing --pdf FILE [--xlsx FILE]";
    const Argomenti a(arg, {{QStringLiteral("--pdf")}, {QStringLiteral("--xlsx")}}, 0, 0, QString::fromUtf8(uso));
    const QString pdf = pdfObbligatorio(a, uso);
    const QString xlsx = a.valore(u"--xlsx").value_or(QString());
    if (a.ha(u"--xlsx") && xlsx.isEmpty())
        throw Errore(QString::fromUtf8(uso));
    TdTabelle d;
    avvia(d);
    ReportTabulato tabulato(d);
    ScrittorePdf scrittore(pdf);
    std::unique_ptr<FoglioXlsx> foglio;
    if (!xlsx.isEmpty())
        foglio = std::make_unique<FoglioXlsx>(xlsx, bordiColonne(ReportTabulato::frxReport1()));
    const int n = tabulato.prepara([&](const ReportPreparato& r, const PaginaPreparata& p, int) {
        scrittore.pagina(r, p);
        if (foglio)
            foglio->pagina(r, p);
    });
    scrittore.chiudi();
    const QString titolo = ReportTabulato::frxReport1().nome;
    pagine(titolo, n, pdf);
    if (foglio) {
        const int righe = foglio->righe();
        foglio->chiudi();
        out() << titolo << ": " << righe << (righe == 1 ? " riga" : " righe") << " in " << QFileInfo(xlsx).filePath()
              << '\n';
    }
    return 0;
}

// The batch letters, page by page into the PDF file and, with --split, one
// file per letter.
int letters(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report letters --pdf FILE [--split CARTELLA]";
    const Argomenti a(arg, {{QStringLiteral("--pdf")}, {QStringLiteral("--split")}}, 0, 0, QString::fromUtf8(uso));
    const QString pdf = pdfObbligatorio(a, uso);
    const QString cartella = a.valore(u"--split").value_or(QString());
    if (a.ha(u"--split") && cartella.isEmpty())
        throw Errore(QString::fromUtf8(uso));
    TdTabelle d;
    avvia(d);
    ReportLettere lettere(d, ReportLettere::Uso::Tutte);
    ScrittorePdf scrittore(pdf);
    std::unique_ptr<LettereDivise> divise;
    if (!cartella.isEmpty())
        divise = std::make_unique<LettereDivise>(cartella, lettere.lettere());
    const int n = lettere.prepara([&](const ReportPreparato& r, const PaginaPreparata& p, int numero) {
        scrittore.pagina(r, p);
        if (divise)
            divise->pagina(r, p, numero);
    });
    scrittore.chiudi();
    const QString titolo = ReportLettere::frxReport2(ReportLettere::Uso::Tutte).nome;
    pagine(titolo, n, pdf);
    out() << titolo << ": " << lettere.lettere().size() << (lettere.lettere().size() == 1 ? " lettera" : " lettere")
          << '\n';
    if (divise) {
        divise->chiudi();
        out() << titolo << ": " << divise->file() << " file" << " in "
              << QFileInfo(cartella).filePath() << '\n';
    }
    return 0;
}

// The single letter of one owner, as the dossier's "Lettera" prints it.
int letter(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report letter SOGGETTO --pdf FILE";
    const Argomenti a(arg, {{QStringLiteral("--pdf")}}, 1, 1, QString::fromUtf8(uso));
    const QString& testoSoggetto = a.posizionali().front();
    const auto soggetto = intero32(testoSoggetto);
    if (!soggetto)
        throw Errore(QStringLiteral("Numero del soggetto non valido: '%1' (%2)").arg(testoSoggetto, gammaIntero32()));
    const QString pdf = pdfObbligatorio(a, uso);
    TdTabelle d;
    avvia(d);
    ReportLettere lettera(d, ReportLettere::Uso::Singola);
    scrivi(lettera.preparaSingola(*soggetto), pdf);
    return 0;
}

}  // namespace

int report(const QStringList& arg)
{
    static const std::map<QString, std::function<int(const QStringList&)>> report{
        {QStringLiteral("owners"), owners},
        {QStringLiteral("dossier"), dossier},
        {QStringLiteral("listing"), listing},
        {QStringLiteral("letters"), letters},
        {QStringLiteral("letter"), letter},
    };
    const auto it = arg.isEmpty() ? report.end() : report.find(arg[0]);
    if (it == report.end())
        throw Errore(QStringLiteral("Uso: sorvel-cli report owners|dossier|listing|letters|letter ... (report sconosciuto: '%1')")
                         .arg(arg.value(0)));
    return it->second(arg.mid(1));
}

}  // namespace Cli
