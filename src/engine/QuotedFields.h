#pragma once

#include "engine/Separator.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace culvex {

// One column of a record cut with quoted fields: for a plain column its bytes as they
// stand (outer spaces still on), for a quoted one its value, already without quotes,
// doubled quotes and trailing spaces.
struct QuotedColumn {
    std::string_view text;
    bool quoted = false;
};

// Where a record cut with quoted fields ends.
struct QuotedRecord {
    std::size_t size = 0;   // the record's bytes, without its line break
    std::size_t next = 0;   // where the next record starts: past the line break
    bool passes = false;    // a separator outside quotes (or, with the empty separator, bytes)
    bool leftOpen = false;  // a quote not closed within the bound was read as plain text
    bool complete = true;   // false: the bytes end inside a quote that may close further on
};

// Cuts the record at the start of `text` into `columns` (cleared first). After its
// leading spaces, a column that begins with `"` is quoted: separators and line breaks up
// to the closing quote belong to it, `""` stands for one `"`, and the text from the
// closing quote to the next separator is kept. The record ends at the first LF outside
// quotes (a CR before it is part of the break). A quote with no closing quote within
// `bound` bytes after it, or before the end of the text when `atEnd`, opens nothing: the
// rest of its line is cut as plain text. Without `atEnd`, the text must end with a LF.
//
// A quoted value that differs from its bytes is written over them, from its opening quote
// on, so that every column stays a view of `text`.
QuotedRecord splitQuoted(char* text, std::size_t size, bool atEnd, const Separator& separator,
                         std::size_t bound, std::vector<QuotedColumn>& columns);

}  // namespace culvex
