#pragma once

#include "output/RowAccess.h"
#include "platform/CommandProgress.h"
#include "platform/Yielder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace culvex {

// Rows and bytes walked between two yields: few enough that the window repaints many times
// a second, enough that the yield's clock read costs nothing per row.
inline constexpr std::size_t kRowsPerYield = 4096;
inline constexpr std::size_t kBytesPerYield = std::size_t{1} << 20;

// What a walk over the rows shows in the progress window: the bar stands at `barFrom` plus
// the rows walked, of `barTotal`; the rows walked are the command's count so far only in
// the pass that writes them, not in one that measures them first.
struct WalkProgress {
    CommandProgress& progress;
    std::int64_t barFrom;
    std::int64_t barTotal;
    bool countsRows;
};

// Calls visit(row) for the first `count` rows, yielding before each run of them. A run is at
// most kRowsPerYield rows and, going by the rows before it, about kBytesPerYield bytes,
// counting each row as at least `bytesPerRow` (a padded line's width); the first run is one
// row, so that long rows never keep the window waiting. A row that "Clear Results" or a
// removal took away meanwhile throws std::out_of_range. False when the user asked to stop
// at a yield: the rows before it have been visited, no more.
template <class Visit>
[[nodiscard]] bool forEachRowYielding(const ResultsStore& rows, std::size_t count, Yielder& yielder,
                                      const WalkProgress& shown, Visit&& visit,
                                      std::size_t bytesPerRow = 0) {
    std::size_t step = 1;
    for (std::size_t first = 0; first < count;) {
        const auto walked = static_cast<std::int64_t>(first);
        if (stopAtYield(yielder, shown.progress, shown.barFrom + walked, shown.barTotal,
                        shown.countsRows ? walked : 0)) {
            return false;
        }
        const std::size_t last = std::min(count, first + step);
        std::size_t bytes = 0;
        forEachRowAt(rows, first, last, [&](std::string_view row) {
            bytes += std::max(row.size(), bytesPerRow) + 1;
            visit(row);
        });
        step = std::clamp(kBytesPerYield * (last - first) / bytes, std::size_t{1}, kRowsPerYield);
        first = last;
    }
    return true;
}

}  // namespace culvex
