#pragma once
// Prints prepared pages on a printer, each page at its size from the paper's corner.

#include "ReportPreparato.h"

class QPrinter;

// Pages `da` to `a` (from 1); raises Errore when the printer cannot start.
void StampaReport(const ReportPreparato& r, QPrinter& stampante, int da, int a);
