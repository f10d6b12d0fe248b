#include "ReportPreparato.h"

QString TestoPreparato::stampato() const
{
    QString s;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (i > 0)
            s += QLatin1Char('\n');
        s += riga(righe[i]);
    }
    return s;
}

quint16 ReportPreparato::indiceCarattere(const Carattere& c)
{
    for (size_t i = 0; i < caratteri.size(); ++i)
        if (caratteri[i] == c)
            return quint16(i);
    caratteri.push_back(c);
    return quint16(caratteri.size() - 1);
}
