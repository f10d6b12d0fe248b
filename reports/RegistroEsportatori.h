#pragma once
// The exports that every preview offers. Empty until a window registers one
// (the roll verification window registers the spreadsheet export when it is
// first opened); before that no preview offers an export.

#include "Esportatore.h"

#include <QList>
#include <memory>

namespace RegistroEsportatori {
// A second registration under the same name changes nothing.
void registra(std::shared_ptr<Esportatore> e);
QList<std::shared_ptr<Esportatore>> elenco();
void svuota();
}  // namespace RegistroEsportatori
