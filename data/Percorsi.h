#pragma once
// Where the exchange files of the waste-tax program live: the directory in
// SORVEL_XFER when set, else c:\xfer\ (on other systems /c/xfer/).

#include <QString>

QString CartellaScambio();                       // ends with a separator
QString FileScambio(const QString& nome);        // CartellaScambio() + nome
