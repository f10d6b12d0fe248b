#include "Errore.h"
#include "Esportatore.h"
#include "Pittore.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

QList<int> TutteLePagine(const ReportPreparato& r)
{
    QList<int> p;
    p.reserve(r.numeroPagine());
    for (int n = 1; n <= r.numeroPagine(); ++n)
        p.append(n);
    return p;
}

std::optional<QList<int>> PagineScelte(const QString& testo, int totale)
{
    static const QRegularExpression voce(QStringLiteral("^(\\d{1,9})(?:-(\\d{1,9}))?$"));
    QString t = testo;
    t.remove(QLatin1Char(' '));
    if (t.isEmpty())
        return std::nullopt;
    std::vector<bool> scelte(size_t(std::max(0, totale)) + 1, false);
    for (const QString& parte : t.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = voce.match(parte);
        if (!m.hasMatch())
            return std::nullopt;
        const int da = m.captured(1).toInt();
        const int a = m.captured(2).isEmpty() ? da : m.captured(2).toInt();
        if (da < 1 || a < da || a > totale)
            return std::nullopt;
        for (int n = da; n <= a; ++n)
            scelte[size_t(n)] = true;
    }
    QList<int> p;
    for (int n = 1; n <= totale; ++n)
        if (scelte[size_t(n)])
            p.append(n);
    return p;
}

ScrittorePdf::ScrittorePdf(const QString& file) : file_(file)
{
    // the file's own error, before the writer hides it
    QFile prova(file);
    if (!prova.open(QIODevice::WriteOnly))
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\": %2").arg(file, prova.errorString()));
}

ScrittorePdf::~ScrittorePdf()
{
    if (pittore_ && pittore_->isActive())
        pittore_->end();
}

void ScrittorePdf::pagina(const ReportPreparato& r, const PaginaPreparata& p)
{
    if (!pdf_) {
        pdf_ = std::make_unique<QPdfWriter>(file_);
        pdf_->setResolution(1200);
        pdf_->setCreator(QStringLiteral("Sorvel"));
        pdf_->setTitle(r.titolo);
        pdf_->setPageSize(
            QPageSize(QSizeF(r.larghezza, r.altezza), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        pdf_->setPageMargins(QMarginsF(0, 0, 0, 0));
        pittore_ = std::make_unique<QPainter>();
        if (!pittore_->begin(pdf_.get()))
            throw Errore(QStringLiteral("Impossibile creare il file \"%1\"").arg(file_));
    } else {
        pdf_->newPage();
    }
    Pittore::disegnaPagina(*pittore_, r, p);
    ++pagine_;
}

void ScrittorePdf::chiudi()
{
    if (!pittore_) {
        // no page: an empty document rather than the empty file left by the probe
        QPdfWriter pdf(file_);
        QPainter p;
        if (!p.begin(&pdf) || !p.end())
            throw Errore(QStringLiteral("Errore di scrittura del file \"%1\"").arg(file_));
        return;
    }
    if (!pittore_->end())
        throw Errore(QStringLiteral("Errore di scrittura del file \"%1\"").arg(file_));
}

void EsportatorePdf::esporta(const ReportPreparato& r, const QString& file, const QList<int>& pagine,
                             const AvanzamentoEsportazione& avanzamento)
{
    ScrittorePdf pdf(file);
    const int totale = int(pagine.size());
    int fatte = 0;
    for (int n : pagine) {
        if (n < 1 || n > r.numeroPagine())
            continue;
        pdf.pagina(r, r.pagine[size_t(n - 1)]);
        if (avanzamento && !avanzamento(++fatte, totale))
            break;
    }
    pdf.chiudi();
}

void ScriviPdf(const ReportPreparato& r, const QString& file)
{
    EsportatorePdf().esporta(r, file, TutteLePagine(r));
}
