#include "CercaComune.h"

#include "Campo.h"

namespace CercaComune {

const QStringList& sql()
{
    static const QStringList s{
        QStringLiteral("SELECT Codice, Nome, Provincia, CodiceCat"),
        QStringLiteral("FROM tComuni"),
        QStringLiteral("WHERE  Nome LIKE '%'"),
        QStringLiteral("ORDER BY Nome"),
    };
    return s;
}

QString condizione(const QString& testo)
{
    return QStringLiteral("WHERE Nome LIKE ") + LetteraleSql(testo + QLatin1Char('%'));
}

}  // namespace CercaComune
