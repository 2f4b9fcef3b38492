#pragma once

#include "engine/PositionNumber.h"

#include <string>

namespace culvex {

// A start or end marker in the input's code page. A marker typed with a character the
// code page cannot represent matches no column.
struct Marker {
    std::string bytes;
    bool representable = true;
};

// The settings that decide which columns of a line become rows, taken once per file.
struct LineSettings {
    bool byRange = false;        // Check1: a range of columns instead of every column
    bool startByNumber = false;  // Option1
    bool startByMarker = false;  // Option2
    bool endByNumber = false;    // Option3
    bool endByMarker = false;    // Option4
    ColumnIndex startIndex;      // Text1 as a column index
    ColumnIndex endIndex;        // Text3 as a column index
    Marker startMarker;          // Text2
    Marker endMarker;            // Text4
};

}  // namespace culvex
