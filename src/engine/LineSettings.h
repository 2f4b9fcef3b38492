#pragma once

#include "engine/Markers.h"
#include "engine/PositionNumber.h"
#include "engine/TextEncoding.h"

#include <string>

namespace culvex {

// Text typed into the panel (a marker or a separator) in the input's code page. Text
// typed with a character the code page cannot represent matches nothing.
// It also keeps the text's UTF-8 bytes and its case-folded characters, for lines read as
// UTF-8.
struct CodePageText {
    std::string bytes;
    bool representable = true;
    std::string utf8;
    std::u32string folded;

    // Whether both forms are the same ASCII bytes, so that one byte test serves both.
    bool isAscii() const { return representable && utf8 == bytes; }
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
    // How a line's bytes are read when a typed separator or marker is not ASCII, and the
    // case folding of its characters.
    TextEncoding encoding = TextEncoding::Windows1252;
    CaseFold fold = nullptr;
};

}  // namespace culvex
