#pragma once

#include "engine/PositionNumber.h"

#include <string>

namespace culvex {

// Text typed into the panel (a marker or a separator) in the input's code page. Text
// typed with a character the code page cannot represent matches nothing.
struct CodePageText {
    std::string bytes;
    bool representable = true;
};

// The settings that decide which columns of a line become rows, taken once per file.
struct LineSettings {
    bool byRange = false;  // a range of columns instead of every column
    bool startByNumber = false;
    bool startByMarker = false;
    bool endByNumber = false;
    bool endByMarker = false;
    ColumnIndex startIndex;
    ColumnIndex endIndex;
    CodePageText startMarker;
    CodePageText endMarker;
};

}  // namespace culvex
