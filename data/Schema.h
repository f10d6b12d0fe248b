#pragma once
// The nine tables of sorvel.mdb, defined once: the same definition creates the
// delivered database and checks an existing one when it is opened.

#include "Campo.h"

#include <QList>
#include <QString>

class Connessione;

struct DefTabella {
    QString nome;
    QList<DefCampo> campi;
    int indice(QStringView campo) const;
};

struct ColonnaIndice {
    QString nome;
    bool nomi = false;  // kept in the order of names (Collazione)
};

struct DefIndice {
    QString nome;
    QString tabella;
    QList<ColonnaIndice> colonne;
};

namespace Schema {

const QList<DefTabella>& tabelle();
const QList<DefIndice>& indici();
// nullptr when `nome` is not one of the nine tables.
const DefTabella* tabella(QStringView nome);

// Raises Errore naming the missing table, the missing column or the column
// whose declared type differs. Further columns are allowed.
void verifica(Connessione& db, const DefTabella& t);

// Creates the nine tables and their indexes in an empty database.
void crea(Connessione& db);
// Drops whichever of the nine tables exist, and what the engine keeps beside them.
void elimina(Connessione& db);

}  // namespace Schema
