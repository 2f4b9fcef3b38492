#pragma once

#include "engine/CodePageText.h"
#include "engine/Markers.h"
#include "engine/TextEncoding.h"

#include <cstddef>
#include <cstdint>

namespace culvex {

// A column index taken from a column number typed by the user.
struct ColumnIndex {
    std::int16_t value = 0;
    // The index lies outside the 16-bit range (or the number was not finite).
    bool overflow = false;
};

// How far a closing quote is looked for after an opening one, so that a quote never
// closed cannot swallow the rest of a file: 1 MiB.
inline constexpr std::size_t kQuoteBoundBytes = std::size_t{1} << 20;

// The settings that decide which columns of a line become rows, taken once per file.
struct LineSettings {
    bool byRange = false;  // a range of columns instead of every column
    bool startByNumber = false;
    bool startByMarker = false;
    bool endByNumber = false;
    bool endByMarker = false;
    // The end is each line's last column, whatever end number is set; a line with more
    // columns than the index holds overflows rather than losing its last ones.
    bool endAtLastColumn = false;
    ColumnIndex startIndex;
    ColumnIndex endIndex;
    CodePageText startMarker;
    CodePageText endMarker;
    // How a line's bytes are read when a typed separator or marker is not ASCII, and the
    // case folding of its characters.
    TextEncoding encoding = TextEncoding::Windows1252;
    CaseFold fold = nullptr;
    // Empty columns of the range become empty rows too, so that a line's rows are all of
    // its chosen columns in order.
    bool keepEmptyColumns = false;
    // After each line's rows comes the line-end mark (lineEndMark), so that a sink can tell where
    // one line's rows end even when the rows reach it in batches from several threads. The source's
    // last line without a break gets none.
    bool markLineEnds = false;
    // Columns may be in double quotes, and a quoted column may hold separators and line
    // breaks; a file is then cut into records rather than lines (see splitQuoted). A quote
    // not closed within `quoteBound` bytes is read as plain text.
    bool quoted = false;
    std::size_t quoteBound = kQuoteBoundBytes;
};

}  // namespace culvex
