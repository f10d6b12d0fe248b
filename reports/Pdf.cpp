#include "Errore.h"
#include "Esportatore.h"
#include "Pittore.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

void EsportatorePdf::esporta(const ReportPreparato& r, const QString& file, int da, int a,
                             const std::function<bool(int, int)>& avanzamento)
{
    da = std::max(1, da);
    a = std::min(a, r.numeroPagine());
    {
        // the file's own error, before the writer hides it
        QFile prova(file);
        if (!prova.open(QIODevice::WriteOnly))
            throw Errore(QStringLiteral("Impossibile creare il file \"%1\": %2").arg(file, prova.errorString()));
    }
    QPdfWriter pdf(file);
    pdf.setResolution(1200);
    pdf.setCreator(QStringLiteral("Sorvel"));
    pdf.setTitle(r.titolo);
    pdf.setPageSize(QPageSize(QSizeF(r.larghezza, r.altezza), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&pdf))
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\"").arg(file));
    const int totale = std::max(0, a - da + 1);
    for (int n = da; n <= a; ++n) {
        if (n > da)
            pdf.newPage();
        Pittore::disegnaPagina(p, r, n - 1);
        if (avanzamento && !avanzamento(n - da + 1, totale))
            break;
    }
    if (!p.end())
        throw Errore(QStringLiteral("Errore di scrittura del file \"%1\"").arg(file));
}

void ScriviPdf(const ReportPreparato& r, const QString& file)
{
    EsportatorePdf().esporta(r, file, 1, r.numeroPagine());
}
