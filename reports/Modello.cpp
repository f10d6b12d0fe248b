#include "Modello.h"

#include "Errore.h"

Elemento Elemento::Testo(const QString& nome, double x, double y, double larghezza, double altezza, const QString& testo)
{
    Elemento e;
    e.tipo = Tipo::Testo;
    e.nome = nome;
    e.x = x;
    e.y = y;
    e.larghezza = larghezza;
    e.altezza = altezza;
    e.testo = testo;
    return e;
}

Elemento Elemento::Linea(const QString& nome, double x1, double y1, double x2, double y2)
{
    Elemento e;
    e.tipo = Tipo::Linea;
    e.nome = nome;
    e.x = x1;
    e.y = y1;
    e.larghezza = x2 - x1;
    e.altezza = y2 - y1;
    return e;
}

Elemento Elemento::Rettangolo(const QString& nome, double x, double y, double larghezza, double altezza)
{
    Elemento e = Testo(nome, x, y, larghezza, altezza, QString());
    e.tipo = Tipo::Rettangolo;
    return e;
}

Elemento Elemento::Immagine(const QString& nome, double x, double y, double larghezza, double altezza)
{
    Elemento e = Testo(nome, x, y, larghezza, altezza, QString());
    e.tipo = Tipo::Immagine;
    return e;
}

Elemento Elemento::SottoReport(const QString& nome, double x, double y, double larghezza, const QString& bande)
{
    Elemento e = Testo(nome, x, y, larghezza, 0, QString());
    e.tipo = Tipo::SottoReport;
    e.sottoReport = bande;
    return e;
}

Elemento& Elemento::conCarattere(double punti, bool grassetto, bool corsivo, bool sottolineato)
{
    carattere.punti = punti;
    carattere.grassetto = grassetto;
    carattere.corsivo = corsivo;
    carattere.sottolineato = sottolineato;
    return *this;
}

Elemento& Elemento::allinea(Orizzontale o, Verticale v)
{
    orizzontale = o;
    verticale = v;
    return *this;
}

Elemento& Elemento::unaRiga()
{
    aCapo = false;
    return *this;
}

Elemento& Elemento::dalTesto()
{
    larghezzaDalTesto = true;
    aCapo = false;
    return *this;
}

Elemento& Elemento::cresce()
{
    estendibile = true;
    return *this;
}

Elemento& Elemento::conSfondo(QRgb c)
{
    sfondo = c;
    return *this;
}

Elemento& Elemento::conSpessore(double mm, StileLinea s)
{
    spessore = mm;
    stile = s;
    return *this;
}

Elemento& Elemento::conRiempimento(QRgb c)
{
    riempimento = c;
    return *this;
}

Banda& ModelloReport::aggiungi(TipoBanda tipo, const QString& nomeBanda, double altezza)
{
    Banda b;
    b.tipo = tipo;
    b.nome = nomeBanda;
    b.altezza = altezza;
    bande.push_back(std::move(b));
    return bande.back();
}

Banda& ModelloReport::banda(const QString& n)
{
    for (Banda& b : bande)
        if (b.nome.compare(n, Qt::CaseInsensitive) == 0)
            return b;
    for (auto& voce : sottoReport)
        for (Banda& b : voce.second)
            if (b.nome.compare(n, Qt::CaseInsensitive) == 0)
                return b;
    throw Errore(QStringLiteral("%1: banda '%2' inesistente").arg(nome, n));
}

Elemento& ModelloReport::elemento(const QString& n)
{
    auto cerca = [&](std::deque<Banda>& bb) -> Elemento* {
        for (Banda& b : bb)
            for (Elemento& e : b.elementi)
                if (e.nome.compare(n, Qt::CaseInsensitive) == 0)
                    return &e;
        return nullptr;
    };
    if (Elemento* e = cerca(bande))
        return *e;
    for (auto& voce : sottoReport)
        if (Elemento* e = cerca(voce.second))
            return *e;
    throw Errore(QStringLiteral("%1: oggetto '%2' inesistente").arg(nome, n));
}
