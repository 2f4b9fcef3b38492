#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// The text that cuts a line into columns, matched exactly, left to right, without
// overlapping. An empty separator is never found: a line is then one column. A separator
// that the code page cannot represent can match nothing in the input's bytes, so no line
// contains it.
class Separator {
  public:
    Separator() = default;
    explicit Separator(std::string bytes, bool representable = true)
        : bytes_(std::move(bytes)), unmatchable_(!representable) {}

    const std::string& bytes() const { return bytes_; }

    // The position of the first occurrence at or after `from`, or npos.
    std::size_t find(std::string_view line, std::size_t from) const;

    // Whether a line passes the separator test: it holds the separator, or, with the
    // empty separator, it is not empty.
    bool passes(std::string_view line) const;

    // Cuts `line` into its columns, into `columns` (cleared first). With a limit, stops
    // after that many columns; the last of them then ends at its separator even if more
    // of the line follows. Returns whether the line passes the separator test; when it
    // does not, the columns are not meaningful.
    bool split(std::string_view line, std::vector<std::string_view>& columns,
               std::size_t limit = static_cast<std::size_t>(-1)) const;

  private:
    bool splitAtByte(std::string_view line, std::vector<std::string_view>& columns,
                     std::size_t limit) const;

    std::string bytes_;
    bool unmatchable_ = false;
};

// The separator of the buttons Option7 to Option11, the first selected one deciding:
// space, comma and space, comma, tab, or the "Others:" text as typed. Empty when none is
// selected.
std::string chooseSeparator(const bool selected[5], const std::string& othersText);

}  // namespace culvex
