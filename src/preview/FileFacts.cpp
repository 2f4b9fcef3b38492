#include "preview/FileFacts.h"

#include "engine/TextEncoding.h"

#include <string_view>

namespace culvex {
namespace {

// The byte limit may cut the last sequence of a cut line: such a line counts as valid.
bool validUpToCut(std::string_view line, bool cut) {
    for (std::size_t lost = 0; lost <= (cut ? 3 : 0) && lost <= line.size(); ++lost) {
        if (utf8::isValid(line.substr(0, line.size() - lost))) {
            return true;
        }
    }
    return false;
}

FileFacts::Encoding encodingOf(const Sample& sample) {
    bool valid = false;    // a line with bytes above 0x7F that is valid UTF-8
    bool invalid = false;  // a line that is not
    for (const std::string_view line : sample.lines) {
        if (utf8::asciiPrefix(line) == line.size()) {
            continue;
        }
        (validUpToCut(line, sample.lineCut) ? valid : invalid) = true;
    }
    if (valid && invalid) {
        return FileFacts::Encoding::Mixed;
    }
    if (invalid) {
        return FileFacts::Encoding::Windows1252;
    }
    return valid ? FileFacts::Encoding::Utf8 : FileFacts::Encoding::Ascii;
}

FileFacts::ByteOrderMark markOf(std::string_view bytes) {
    if (bytes.starts_with(utf8::kByteOrderMark)) {
        return FileFacts::ByteOrderMark::Utf8;
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return FileFacts::ByteOrderMark::Utf16LittleEndian;
    }
    return bytes.starts_with("\xFE\xFF") ? FileFacts::ByteOrderMark::Utf16BigEndian
                                         : FileFacts::ByteOrderMark::None;
}

FileFacts::LineEnds lineEndsOf(std::string_view text) {
    bool lf = false;
    bool crlf = false;
    bool cr = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            (i > 0 && text[i - 1] == '\r' ? crlf : lf) = true;
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] != '\n') {
            cr = true;
        }
    }
    const int kinds = int{lf} + int{crlf} + int{cr};
    if (kinds > 1) {
        return FileFacts::LineEnds::Mixed;
    }
    if (crlf) {
        return FileFacts::LineEnds::CrLf;
    }
    if (cr) {
        return FileFacts::LineEnds::Cr;
    }
    return lf ? FileFacts::LineEnds::Lf : FileFacts::LineEnds::None;
}

}  // namespace

FileFacts factsOf(const Sample& sample) {
    FileFacts facts;
    facts.encoding = encodingOf(sample);
    facts.mark = markOf(sample.text);
    facts.lineEnds = lineEndsOf(sample.text);
    return facts;
}

std::string describe(const FileFacts& facts) {
    static constexpr std::string_view kEncodings[] = {"ASCII", "UTF-8", "Windows-1252",
                                                      "mixed UTF-8 and Windows-1252"};
    static constexpr std::string_view kMarks[] = {"no byte-order mark", "UTF-8 byte-order mark",
                                                  "UTF-16 (little-endian) byte-order mark",
                                                  "UTF-16 (big-endian) byte-order mark"};
    static constexpr std::string_view kLineEnds[] = {
        "no line break", "LF line ends", "CR LF line ends", "CR line ends", "mixed line ends"};
    std::string text(kEncodings[static_cast<int>(facts.encoding)]);
    text += ", ";
    text += kMarks[static_cast<int>(facts.mark)];
    text += ", ";
    text += kLineEnds[static_cast<int>(facts.lineEnds)];
    return text;
}

}  // namespace culvex
