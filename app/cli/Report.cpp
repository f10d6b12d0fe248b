#include "Cli.h"

#include "DossierSoggetto.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "ReportDossier.h"
#include "ReportElencoSoggetti.h"
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

}  // namespace

int report(const QStringList& arg)
{
    static const std::map<QString, std::function<int(const QStringList&)>> report{
        {QStringLiteral("owners"), owners},
        {QStringLiteral("dossier"), dossier},
    };
    const auto it = arg.isEmpty() ? report.end() : report.find(arg[0]);
    if (it == report.end())
        throw Errore(QStringLiteral("Uso: sorvel-cli report owners|dossier ... (report sconosciuto: '%1')")
                         .arg(arg.value(0)));
    return it->second(arg.mid(1));
}

}  // namespace Cli
