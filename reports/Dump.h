#pragma once
// A prepared report as text, one line per primitive: page, kind, position in
// millimetres, font and text. Tests compare it with a reference file, and a
// reviewer reads the difference.

#include "ReportPreparato.h"

QString DumpReport(const ReportPreparato& r);
