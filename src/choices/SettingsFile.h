#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// The text of the settings file, of which one section belongs to the program. Lines
// outside that section are kept byte for byte. Keys and values are UTF-8; a lone UTF-16
// surrogate, which a text box may hold, is kept as the three bytes UTF-8 would give it.
//
// In the program's section (its name in any letter case), each "key=value" line holds the
// value exactly as written after the first "=", up to the end of the line; keys match in
// any letter case and the first of equal keys counts; a UTF-8 byte-order mark and a CR
// before the line end are not part of a line. A value holding a line break, a NUL or a
// lone surrogate is written as "key\=" followed by the value with "\\" for a backslash and
// "\uXXXX" for each such character. The section's first line, kMarker, says so. A section
// without it was written by the toolkit's INI format and is read by that format's rules
// (quotes, backslash escapes, ";" comments, "@@" for "@") until the first change writes
// the whole section in the plain form. Lines keep their own line ends, and new lines in
// the section take its header's; a last line without a break keeps going without one.
class SettingsFile {
public:
    static constexpr std::string_view kMarker =
        "; Values are read as written, to the end of the line; a key written as key\\= holds "
        "\\\\ for \\ and \\uXXXX escapes.";

    SettingsFile(std::string_view bytes, std::string_view section);

    std::optional<std::string> value(std::string_view key) const;
    void setValue(std::string_view key, std::string_view value);
    std::string bytes() const;

private:
    struct Line {
        Line(std::string lineText, bool inSection)
            : text(std::move(lineText)), ours(inSection), crlf(text.ends_with('\r')) {}
        std::string text;  // as read, without the '\n' that ends it
        bool ours = false;
        bool crlf = false;      // ends in CR LF, rewritten or not
        bool original = false;  // read from the file
        bool entry = false;
        bool changed = false;
        std::string key;
        std::string value;
    };

    bool isOurHeader(std::string_view text) const;
    void readEntry(Line& line) const;
    std::ptrdiff_t endOfSection() const;
    bool rewritten(const Line& line) const { return line.entry && (line.changed || !plain_); }

    std::string section_;
    std::vector<Line> lines_;
    bool plain_ = false;         // the section carries the marker
    bool sectionCrlf_ = false;   // the section's header ends in CR LF
    bool endsWithBreak_ = true;  // the last line read had its '\n'
};

// The bytes of the settings file at `path`; a missing file has none. Throws
// std::runtime_error with the system's wording when the file is there but cannot be read.
std::string readSettingsBytes(const std::string& path);

}  // namespace culvex
