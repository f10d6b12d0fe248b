#pragma once
// The order of names (owners, streets, municipalities) as a clerk reads a
// register: letters compared without regard to case or accents, apostrophes
// not counting ("D'AMICO" files as "DAMICO"), blanks before letters; names
// equal on that reading are then ordered by their exact text, so the order is
// total and stable. The same order serves ORDER BY on a name (the collation
// NOMI, registered on every connection) and Locate's "first in ascending order".

#include <QString>
#include <string>
#include <string_view>

namespace Collazione {

// The name of the collation in SQL texts.
inline constexpr const char* nome = "NOMI";

// <0, 0 or >0 as `a` files before, with or after `b` (texts in UTF-8).
int confronta(std::string_view a, std::string_view b);

// The primary key of a name: what the order compares first (upper-case
// letters without accents, apostrophes dropped). Two names with the same key
// are ordered by their exact text.
std::string chiave(std::string_view utf8);
QString chiave(const QString& testo);

// An SQL text with "COLLATE NOMI" added to every ORDER BY term that is a bare
// name column (Denominazione, Cognome, Nome, optionally qualified), so the
// texts of the queries stay as the windows define them.
QString ordinaNomi(const QString& sql);

}  // namespace Collazione
