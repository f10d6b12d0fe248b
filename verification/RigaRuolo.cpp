#include "RigaRuolo.h"

#include "FileTesto.h"

RigaRuolo RigaRuolo::analizza(QStringView riga)
{
    // columns counted from 1, taken as far as the line goes
    auto colonne = [riga](qsizetype da, qsizetype n) {
        return da - 1 >= riga.size() ? QStringView() : riga.mid(da - 1, n);
    };
    RigaRuolo r;
    r.codice = colonne(1, 6).toString();
    r.cognome = CampoPulito(colonne(7, 30)).toString();
    r.nome = CampoPulito(colonne(37, 30)).toString();
    r.nData = CampoPulito(colonne(67, 10)).toString();
    r.codFisc = CampoPulito(colonne(77, 16)).toString();
    r.ruolo = CampoPulito(colonne(93, 6)).toString();
    r.indirizzo = CampoPulito(colonne(99, 50)).toString();
    r.citta = CampoPulito(colonne(149, 50)).toString();
    return r;
}

QString RigaRuolo::nomeRicerca() const
{
    if (nData.isEmpty())
        return cognome + nome;
    return CampoPulito(QString(cognome + QLatin1Char(' ') + nome)).toString();
}
