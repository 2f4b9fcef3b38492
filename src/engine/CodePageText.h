#pragma once

#include <string>

namespace culvex {

// Text the user typed (a marker or a separator), ready to be looked for in lines read
// either way: its bytes in the Windows-1252 code page, its UTF-8 bytes and its case-folded
// characters. Text with a character the code page cannot represent matches nothing in a
// line read as Windows-1252.
struct CodePageText {
    std::string bytes;
    bool representable = true;
    std::string utf8;
    std::u32string folded;

    // Whether both forms are the same ASCII bytes, so that one byte test serves both.
    bool isAscii() const { return representable && utf8 == bytes; }
};

}  // namespace culvex
