#include "choices/TypedText.h"

#include "engine/AnsiCodePage.h"
#include "engine/TextEncoding.h"

#include <unicode/uchar.h>

namespace culvex {
namespace {

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
}

std::u32string characters(std::string_view text) {
    std::u32string result;
    if (utf8::isValid(text)) {
        for (std::size_t at = 0; at < text.size();) {
            result.push_back(utf8::next(text, at));
        }
    } else {
        for (const char byte : text) {
            result.push_back(ansi::decodeByte(static_cast<unsigned char>(byte)));
        }
    }
    return result;
}

}  // namespace

CodePageText typedText(std::string_view text) {
    std::u16string units;
    CodePageText result;
    for (const char32_t c : characters(text)) {
        appendUtf16(units, c);
        utf8::append(result.utf8, c);
        result.folded.push_back(foldCharacter(c));
    }
    result.bytes = ansi::encode(units);
    result.representable = ansi::decode(result.bytes) == units;
    return result;
}

char32_t foldCharacter(char32_t c) {
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

}  // namespace culvex
