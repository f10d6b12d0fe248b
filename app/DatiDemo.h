#pragma once
// A small, realistic supply of one real municipality (Pesaro), stored through
// the data module as an import would store it: for trying the program out.

class TdTabelle;

namespace DatiDemo {
// Sets the managing municipality to Pesaro, replaces its supply and returns
// the number of owners stored.
int inserisci(TdTabelle& dati);
}
