#include "Percorsi.h"

#include <QDir>

QString CartellaScambio()
{
    QString d = qEnvironmentVariable("SORVEL_XFER");
    if (d.isEmpty()) {
#ifdef Q_OS_WIN
        d = QStringLiteral("c:\\xfer\\");
#else
        d = QStringLiteral("/c/xfer/");
#endif
    }
    if (!d.endsWith(QLatin1Char('/')) && !d.endsWith(QLatin1Char('\\')))
        d += QLatin1Char('/');
    return d;
}

QString FileScambio(const QString& nome) { return CartellaScambio() + nome; }
