#include "output/RowAccess.h"

#include <stdexcept>
#include <string>

namespace culvex {

std::string_view rowAt(const ResultsStore& store, std::size_t index) {
    if (index >= store.size()) {
        throw std::out_of_range("Row " + std::to_string(index + 1) +
                                " no longer exists in the results list");
    }
    return store.row(index);
}

}  // namespace culvex
