#pragma once

#include "engine/ResultsStore.h"

#include <string_view>

namespace culvex {

// The bytes of row `index` for a command that yields while it reads the list: "Clear
// Results" may have emptied it meanwhile, so a row that no longer exists throws
// std::out_of_range. The view is valid only until the next yield.
std::string_view rowAt(const ResultsStore& store, std::size_t index);

}  // namespace culvex
