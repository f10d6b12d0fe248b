#include "ConfrontoSuperfici.h"

#include "dmTabelle.h"

#include <cmath>

qint32 Dichiarabile(qint32 totale)
{
    // 0.8 x n has a fractional part of .0, .2, .4, .6 or .8: double precision
    // rounds every four-byte value exactly as the exact product would.
    return qint32(std::llround(double(totale) * 0.8));
}

Confronto ConfrontoSuperfici(TdTabelle& d, const QString& codice, qint64 soggetto, qint32 ruolo)
{
    // Each unit counts once: an owner listed twice on a unit (two subject rows)
    // would otherwise add its surface twice and inflate the assessable surface.
    // The values are bound, so the text is the same for every owner and the
    // roll load, which runs it once per taxpayer, prepares it once.
    static const QStringList sql{
        QStringLiteral("SELECT SUM(Superficie) AS Totale FROM tUnImm1"),
        QStringLiteral("WHERE tUnImm1.Codice = :Codice"),
        QStringLiteral("AND (tUnImm1.Codice, tUnImm1.Sezione, tUnImm1.Immobile, tUnImm1.Progressivo) IN"),
        QStringLiteral("(SELECT tUnImm5_6.Codice, tUnImm5_6.Sezione, tUnImm5_6.Immobile, tUnImm5_6.Progressivo FROM tUnImm5_6"),
        QStringLiteral("WHERE tUnImm5_6.Soggetto = :Soggetto)"),
    };
    d.qGeneric.chiudi();
    d.qGeneric.sql = sql;
    d.qGeneric.parametri.insert(QStringLiteral("Codice"), codice);
    d.qGeneric.parametri.insert(QStringLiteral("Soggetto"), soggetto);
    d.qGeneric.apri();
    Confronto c;
    c.totaleTesto = d.qGeneric.testo(u"Totale");
    c.totale = qint32(d.qGeneric.intero(u"Totale"));
    d.qGeneric.chiudi();
    c.ruolo = ruolo;
    // four-byte arithmetic, as the stored columns
    c.differenza = qint32(quint32(c.totale) - quint32(ruolo));
    c.dichiarabile = Dichiarabile(c.totale);
    c.accertabile = qint32(quint32(c.dichiarabile) - quint32(ruolo));
    return c;
}
