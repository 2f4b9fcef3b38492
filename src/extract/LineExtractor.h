#pragma once

#include "extract/LineSettings.h"
#include "extract/Separator.h"
#include "output/ResultsSink.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace culvex {

// The column indexes are 16-bit. These are the places where a line's index does not fit.
enum class IndexOverflow : std::uint8_t {
    StartNumber = 1,    // the start number's index
    StartPastLast = 2,  // one past the last column, where the start-marker search begins
    EndNumber = 4,      // the end number's index
    EndScan = 8,        // the last column, where the end-marker search begins
    LastColumn = 16,    // the last column, as the end of every column
};

// The overflows met on one line, as a set.
class LineOverflows {
public:
    void add(IndexOverflow what) { bits_ |= static_cast<std::uint8_t>(what); }
    bool has(IndexOverflow what) const { return (bits_ & static_cast<std::uint8_t>(what)) != 0; }
    bool any() const { return bits_ != 0; }

private:
    std::uint8_t bits_ = 0;
};

// Turns one line into result rows: a line that passes the separator test is cut into
// columns, the start and end columns are found, and every non-empty column from start to
// end is appended with its outer spaces (U+0020 only) removed. A line whose index
// overflowed yields no rows.
class LineExtractor {
public:
    // Lines with more columns than this have a last index (or one past it) that does not
    // fit the 16-bit index.
    static constexpr std::size_t kMaxColumns = 32767;

    LineExtractor(Separator separator, LineSettings settings)
        : separator_(std::move(separator)), settings_(std::move(settings)) {}

    LineOverflows extract(std::string_view line, ResultsSink& sink);

private:
    struct Range {
        int start = 0;
        int end = 0;
    };
    bool streamsRows(std::string_view line) const;
    void streamRows(std::string_view line, ResultsSink& sink) const;
    Range findRange(LineOverflows& overflows) const;
    int findStartByMarker(LineOverflows& overflows) const;
    int findEndByMarker(int start, LineOverflows& overflows) const;
    void appendRange(Range range, ResultsSink& sink) const;

    Separator separator_;
    LineSettings settings_;
    std::vector<std::string_view> columns_;
};

// A column without its leading and trailing spaces.
inline std::string_view trimSpaces(std::string_view column) {
    std::size_t begin = 0;
    std::size_t end = column.size();
    while (begin < end && column[begin] == ' ') {
        ++begin;
    }
    while (end > begin && column[end - 1] == ' ') {
        --end;
    }
    return column.substr(begin, end - begin);
}

}  // namespace culvex
