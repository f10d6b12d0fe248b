#pragma once
// The municipality look-up's query: the reference list of Italian
// municipalities in name order, narrowed to the names that begin with what
// the clerk types.

#include <QStringList>

namespace CercaComune {
// The query as first loaded: every municipality. The third line is the one
// that a search rewrites.
const QStringList& sql();
constexpr int rigaCondizione = 2;
// The condition line for a typed text: a LIKE on the text followed by "%",
// as a quoted literal (an embedded quote doubled).
QString condizione(const QString& testo);
}  // namespace CercaComune
