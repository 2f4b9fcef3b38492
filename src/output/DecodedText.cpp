#include "output/DecodedText.h"

namespace culvex {
namespace {

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where a row longer than the list shows is cut: when it may be read as UTF-8, never inside
// a sequence, so that a UTF-8 row stays valid up to the cut.
std::size_t shownLength(std::string_view bytes, TextEncoding encoding) {
    std::size_t length = kShownCharacters;
    if (encoding == TextEncoding::Windows1252) {
        return length;
    }
    for (int back = 0; back < 3 && length > 0 && isContinuationByte(bytes[length]); ++back) {
        --length;
    }
    return isContinuationByte(bytes[length]) ? kShownCharacters : length;
}

// Auto reads a row as UTF-8 only when the whole row is valid UTF-8, however much of it
// is shown, so that the list, the copies and the export read it alike.
TextEncoding wholeRowEncoding(std::string_view bytes, TextEncoding encoding) {
    if (encoding != TextEncoding::Auto) {
        return encoding;
    }
    return utf8::isValid(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

}  // namespace

QString shownText(std::string_view bytes, TextEncoding encoding) {
    const bool cut = bytes.size() > kShownCharacters;
    if (cut) {
        encoding = wholeRowEncoding(bytes, encoding);
    }
    const std::string_view shown = cut ? bytes.substr(0, shownLength(bytes, encoding)) : bytes;
    QString text(static_cast<qsizetype>(shown.size() + (cut ? 1 : 0)), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* end = decodeRowInto(begin, shown, encoding);
    if (cut) {
        *end++ = u'\u2026';
    }
    text.truncate(end - begin);
    if (shown.find('\n') != std::string_view::npos) {
        text.replace(QStringLiteral("\r\n"), QString(QChar(0x21B5)));
        text.replace(QChar(u'\n'), QChar(0x21B5));
    }
    return text;
}

QString rowText(std::string_view bytes, TextEncoding encoding) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(decodeRowInto(begin, bytes, encoding) - begin);
    return text;
}

}  // namespace culvex
