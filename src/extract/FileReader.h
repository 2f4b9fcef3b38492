#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// Walks the lines of a file's bytes without copying them. Every byte is one character
// of the single-byte code page; a byte-order mark is ordinary text.
//
// Line breaks: LF, and CR LF as one break. A lone CR is an ordinary character that stays
// in its line, so a file with old Macintosh line ends reads as one line; splitting there
// would turn a stray CR inside a field into an extra line. A break at the very end adds
// no empty line after it, and an empty file is one empty line.
class TextLines {
public:
    explicit TextLines(std::string_view bytes) : rest_(bytes), first_(true) {}

    // Sets `line` to the next line (without its break) and returns true, or returns
    // false when no line is left.
    bool next(std::string_view& line);

    // Bytes not yet walked, breaks included.
    std::size_t remaining() const { return rest_.size(); }

private:
    std::string_view rest_;
    bool first_;
};

// The lines of the file at `path` (a native path), in file order; never empty. Throws
// what MappedFile throws when the file cannot be opened or read.
std::vector<std::string> ReadTextFileLines(const std::string& path);

}  // namespace culvex
