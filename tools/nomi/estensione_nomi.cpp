// A loadable SQLite extension with the NOMI collation, the order of names
// that sorvel registers on its own connections. The owner list's index is
// kept in that order, so a sqlite3 shell that writes the owners' table (a
// database administrator, the benchmarks' hand-written references) loads it
// first:   .load path/to/libsorvel_nomi

#include "Collazione.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

namespace {
int confrontaNomi(void*, int na, const void* a, int nb, const void* b)
{
    return Collazione::confronta(std::string_view(static_cast<const char*>(a), size_t(na)),
                                 std::string_view(static_cast<const char*>(b), size_t(nb)));
}
}  // namespace

extern "C" int sqlite3_sorvelnomi_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_collation_v2(db, Collazione::nome, SQLITE_UTF8, nullptr, confrontaNomi, nullptr);
}
