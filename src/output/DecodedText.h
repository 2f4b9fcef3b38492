#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

namespace culvex {

// The most characters of one row that the results list shows. Laying out a line takes
// time in proportion to its length (seconds per repaint for a 16 MiB row) and fails
// outright beyond a few hundred million characters; nobody reads that far along a line.
inline constexpr std::size_t kShownCharacters = 10'000;

// Row bytes in the input's code page (Windows-1252) as the results list shows them, one
// character per byte: the first kShownCharacters characters, followed by an ellipsis
// "\u2026" when the row is longer. Only the shown bytes are decoded.
QString shownText(std::string_view bytes);

// Writes the characters of the bytes at `out`, which has room for bytes.size() of them;
// returns the end of what it wrote.
char16_t* decodeInto(char16_t* out, std::string_view bytes);

}  // namespace culvex
