#pragma once

#include "engine/TextEncoding.h"

#include <QString>
#include <cstddef>
#include <string_view>

namespace culvex {

// The most characters of one row that the results list shows. Laying out a line takes
// time in proportion to its length (seconds per repaint for a 16 MiB row) and fails
// outright beyond a few hundred million characters; nobody reads that far along a line.
inline constexpr std::size_t kShownCharacters = 10'000;

// Row bytes as the results list shows them, read in `encoding` (decodeRowInto): the
// characters of the first kShownCharacters bytes, cut back to the start of a UTF-8
// sequence, followed by an ellipsis "\u2026" when the row is longer. Only the shown bytes
// are decoded; the whole row decides how an Auto row is read. A line break (LF or CR LF,
// which only a quoted field holds) shows as one "\u21B5", so that every row stays one line.
QString shownText(std::string_view bytes, TextEncoding encoding);

// The characters of a whole row read in `encoding`.
QString rowText(std::string_view bytes, TextEncoding encoding);

}  // namespace culvex
