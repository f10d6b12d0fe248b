#pragma once
// The sorted index behind Locate (DataSetLocate.cpp); the data set keeps its
// indexes, so its own sources need the full type.

#include "DataSet.h"

#include <string>
#include <string_view>
#include <vector>

// A permutation of the visible rows sorted by the key fields, built on the first
// search with a given key and kept until the rows change. A search is then a
// binary search: a keystroke and a million look-ups of a roll load cost the same
// per search.

struct DataSet::Indice {
    struct Chiave {
        bool testo = false;
        std::vector<qint64> numeri;  // numbers and dates; nulls sort first
        std::vector<uint8_t> nulli;
        std::vector<std::pair<uint32_t, uint32_t>> pos;  // texts (null reads as empty)
        std::string testi;
        std::string_view t(uint32_t i) const { return {testi.data() + pos[i].first, pos[i].second}; }
    };
    std::vector<Chiave> chiavi;
    std::vector<int> campi;
    std::vector<uint32_t> ordine;  // positions in chiavi's rows (= visible rows)
    // Each row's place in ascending order of the key fields, names compared
    // by the order of names: among several matches the search takes the one
    // that comes first there, as the list shows them.
    std::vector<uint32_t> rango;
};
