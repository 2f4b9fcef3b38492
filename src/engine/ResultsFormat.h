#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace culvex {

// The byte formats of the two results text files, shared by the window's saves and the
// command line. Each function appends one whole line, CR LF included, to `out`; row bytes
// are written as stored.

// The spaced table: the header "Results", then every row, each padded with spaces to the
// table's width and followed by a TAB.
inline constexpr std::string_view kSpacedHeader = "Results";

// The table's width for rows whose longest is `longestRow` bytes: every byte of the code
// page is one character, and the header takes part.
std::size_t spacedWidth(std::size_t longestRow);

// `value`, the spaces it falls short of `width`, a TAB and CR LF.
void appendSpacedLine(std::string& out, std::string_view value, std::size_t width);

// The comma list: each row on its line, every line but the last ending in a comma.
void appendCommaLine(std::string& out, std::string_view row, bool last);

}  // namespace culvex
