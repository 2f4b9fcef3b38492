#pragma once

#include "engine/ResultsStore.h"

#include <algorithm>
#include <string_view>

namespace culvex {

// The bytes of row `index` for a command that yields while it reads the list: "Clear
// Results" may have emptied it meanwhile, so a row that no longer exists throws
// std::out_of_range. The view is valid only until the next yield.
std::string_view rowAt(const ResultsStore& store, std::size_t index);

// Calls visit(row) for the rows first to last - 1, as rowAt would give them one by one:
// the rows that still exist are visited, and then a row past the end throws
// std::out_of_range.
template <class Visit>
void forEachRowAt(const ResultsStore& store, std::size_t first, std::size_t last, Visit&& visit) {
    const std::size_t existing = std::min(last, std::max(first, store.size()));
    store.forEachRow(first, existing, visit);
    if (existing < last) {
        rowAt(store, existing);
    }
}

}  // namespace culvex
