#include "Cli.h"

#include "Campo.h"
#include "DossierSoggetto.h"
#include "ElencoSoggetti.h"
#include "Errore.h"
#include "Esportatore.h"
#include "ReportDossier.h"
#include "ReportElencoSoggetti.h"
#include "dmTabelle.h"

#include <QFileInfo>
#include <functional>
#include <limits>
#include <map>

namespace Cli {

namespace {

// The options of a report: "--name value" or "--name=value"; the words
// without a leading "--" are the positional arguments.
struct Opzioni {
    QMap<QString, QString> valori;
    QStringList posizionali;

    Opzioni(const QStringList& arg, const QStringList& ammesse)
    {
        for (qsizetype i = 0; i < arg.size(); ++i) {
            QString a = arg[i];
            if (!a.startsWith(QLatin1String("--"))) {
                posizionali.append(a);
                continue;
            }
            QString valore;
            const qsizetype uguale = a.indexOf(QLatin1Char('='));
            if (uguale > 0) {
                valore = a.mid(uguale + 1);
                a.truncate(uguale);
            } else if (i + 1 < arg.size()) {
                valore = arg[++i];
            } else {
                throw Errore(QStringLiteral("Manca il valore dell'opzione %1").arg(a));
            }
            if (!ammesse.contains(a))
                throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(a));
            valori.insert(a, valore);
        }
    }

    QString obbligatoria(const QString& nome, const char* uso) const
    {
        const QString v = valori.value(nome);
        if (v.isEmpty())
            throw Errore(QString::fromUtf8(uso));
        return v;
    }
};

void scrivi(const ReportPreparato& r, const QString& pdf)
{
    ScriviPdf(r, pdf);
    out() << r.titolo << ": " << r.numeroPagine() << (r.numeroPagine() == 1 ? " pagina" : " pagine") << " in "
          << QFileInfo(pdf).filePath() << '\n';
}

int owners(const QStringList& arg)
{
    static const char* uso = "Uso: sorvel-cli report owners --pdf FILE";
    const Opzioni o(arg, {QStringLiteral("--pdf")});
    if (!o.posizionali.isEmpty())
        throw Errore(QString::fromUtf8(uso));
    const QString pdf = o.obbligatoria(QStringLiteral("--pdf"), uso);
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
    const Opzioni o(arg, {QStringLiteral("--pdf"), QStringLiteral("--ruolo")});
    if (o.posizionali.size() != 1)
        throw Errore(QString::fromUtf8(uso));
    const auto soggetto = Conversione::intero(o.posizionali[0]);
    if (!soggetto)
        throw Errore(QStringLiteral("Numero del soggetto non valido: '%1'").arg(o.posizionali[0]));
    const QString pdf = o.obbligatoria(QStringLiteral("--pdf"), uso);
    TdTabelle d;
    avvia(d);
    // With --ruolo the report prints as in the hand-off mode.
    if (o.valori.contains(QStringLiteral("--ruolo"))) {
        const QString valore = o.valori.value(QStringLiteral("--ruolo"));
        const auto n = Conversione::intero(valore);
        if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
            throw Errore(QStringLiteral("Superficie a ruolo non valida: '%1'").arg(valore));
        d.ModalitaS = true;
        d.SuperficieRuolo = qint32(*n);
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
