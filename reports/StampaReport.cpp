#include "StampaReport.h"

#include "Errore.h"
#include "Pittore.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

void StampaReport(const ReportPreparato& r, QPrinter& stampante, int da, int a)
{
    da = std::max(1, da);
    a = std::min(a <= 0 ? r.numeroPagine() : a, r.numeroPagine());
    stampante.setFullPage(true);
    stampante.setPageSize(QPageSize(QSizeF(std::min(r.larghezza, r.altezza), std::max(r.larghezza, r.altezza)),
                                    QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    stampante.setPageOrientation(r.larghezza > r.altezza ? QPageLayout::Landscape : QPageLayout::Portrait);
    stampante.setDocName(r.titolo);
    QPainter p;
    if (!p.begin(&stampante))
        throw Errore(QStringLiteral("Impossibile avviare la stampa su %1").arg(stampante.printerName()));
    for (int n = da; n <= a; ++n) {
        if (n > da)
            stampante.newPage();
        Pittore::disegnaPagina(p, r, n - 1);
    }
    p.end();
}
