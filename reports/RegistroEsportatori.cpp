#include "RegistroEsportatori.h"

namespace RegistroEsportatori {

namespace {
QList<std::shared_ptr<Esportatore>>& registrati()
{
    static QList<std::shared_ptr<Esportatore>> r;
    return r;
}
}  // namespace

void registra(std::shared_ptr<Esportatore> e)
{
    if (!e)
        return;
    for (const auto& x : registrati())
        if (x->nome() == e->nome())
            return;
    registrati().append(std::move(e));
}

QList<std::shared_ptr<Esportatore>> elenco() { return registrati(); }

void svuota() { registrati().clear(); }

}  // namespace RegistroEsportatori
