#pragma once

#include "preview/PreviewSample.h"

#include <cstddef>
#include <string>

namespace culvex {

// What the sample tells about a file.
struct FileFacts {
    enum class Encoding { Ascii, Utf8, Windows1252, Mixed };
    enum class ByteOrderMark { None, Utf8, Utf16LittleEndian, Utf16BigEndian };
    enum class LineEnds { None, Lf, CrLf, Cr, Mixed };

    Encoding encoding = Encoding::Ascii;
    ByteOrderMark mark = ByteOrderMark::None;
    LineEnds lineEnds = LineEnds::None;
};

// Encoding: ASCII when no byte is above 0x7F; UTF-8 when every line is valid UTF-8;
// Windows-1252 when no line with such bytes is; mixed otherwise. Line ends: the breaks
// within the sampled lines' bytes, a CR that no LF follows counted as a CR line end.
FileFacts factsOf(const Sample& sample);

// The facts in words, for the status line: "UTF-8, byte-order mark, CR LF line ends".
std::string describe(const FileFacts& facts);

}  // namespace culvex
