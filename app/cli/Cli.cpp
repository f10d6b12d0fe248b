#include "Cli.h"

#include "Campo.h"
#include "Errore.h"
#include "dmTabelle.h"

#include <algorithm>
#include <limits>

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

Argomenti::Argomenti(const QStringList& arg, const QList<Opzione>& accettate, int minimo, int massimo,
                     const QString& uso)
{
    bool soloPosizionali = false;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        const QString& a = arg[i];
        if (soloPosizionali || !a.startsWith(QLatin1String("--"))) {
            if (posizionali_.size() >= massimo)
                throw Errore(QStringLiteral("Argomento inatteso: %1").arg(a));
            posizionali_ << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            soloPosizionali = true;
            continue;
        }
        const qsizetype uguale = a.indexOf(QLatin1Char('='));
        const QString nome = uguale < 0 ? a : a.left(uguale);
        const auto o = std::find_if(accettate.begin(), accettate.end(), [&](const Opzione& x) { return x.nome == nome; });
        if (o == accettate.end())
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(nome));
        if (!o->conValore) {
            if (uguale >= 0)
                throw Errore(QStringLiteral("L'opzione %1 non vuole un valore").arg(nome));
            interruttori_ << nome;
            continue;
        }
        if (uguale >= 0) {
            valori_.append({nome, a.mid(uguale + 1)});
            continue;
        }
        // the next word is the value, unless it is another option
        if (i + 1 >= arg.size() || arg[i + 1].startsWith(QLatin1String("--")))
            throw Errore(QStringLiteral("Manca il valore dell'opzione %1").arg(nome));
        valori_.append({nome, arg[++i]});
    }
    if (posizionali_.size() < minimo)
        throw Errore(uso);
}

bool Argomenti::ha(QStringView opzione) const
{
    return interruttori_.contains(opzione) || valore(opzione).has_value();
}

std::optional<QString> Argomenti::valore(QStringView opzione) const
{
    for (qsizetype i = valori_.size() - 1; i >= 0; --i)
        if (valori_[i].first == opzione)
            return valori_[i].second;
    return std::nullopt;
}

std::optional<qint32> intero32(const QString& testo)
{
    const auto n = Conversione::intero(testo);
    if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*n);
}

QString gammaIntero32()
{
    return QStringLiteral("serve un numero intero da %1 a %2")
        .arg(std::numeric_limits<qint32>::min())
        .arg(std::numeric_limits<qint32>::max());
}

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
