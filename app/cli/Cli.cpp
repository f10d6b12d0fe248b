#include "Cli.h"

#include "dmTabelle.h"

namespace Cli {

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QString testoErrore(const QString& t)
{
    QString r = t;
    if (!r.endsWith(QLatin1Char('.')))
        r += QLatin1Char('.');
    return r;
}

void avvia(TdTabelle& d) { d.DataModuleCreate(); }

void AvanzamentoConsole::inizio(qint64 righe)
{
    totale_ = righe;
    orologio_.start();
    err() << cosa_ << " di " << righe << " righe...\n";
    err().flush();
}

void AvanzamentoConsole::passo()
{
    ++fatte_;
    if ((fatte_ & 0xFFF) == 0 && orologio_.elapsed() - ultimo_ >= 500) {
        ultimo_ = orologio_.elapsed();
        err() << "  " << fatte_ << " / " << totale_ << " righe (" << (100 * fatte_ / std::max<qint64>(totale_, 1))
              << "%)\n";
        err().flush();
    }
}

}  // namespace Cli
