#pragma once
// The owner list report ("Elenco soggetti", frxReport1 of the main window):
// one line per owner of the list with name, birth date, birthplace and tax
// code, over as many pages as needed.

#include "Modello.h"
#include "ReportPreparato.h"

#include <QDateTime>

class DataSet;

namespace ReportElencoSoggetti {
ModelloReport frxReport1();
// Prepares it over the main window's owner list, from its first row in the
// list's order. The list stays open, on the row it stood on.
ReportPreparato prepara(DataSet& elenco, const QDateTime& adesso = QDateTime::currentDateTime());
}  // namespace ReportElencoSoggetti
