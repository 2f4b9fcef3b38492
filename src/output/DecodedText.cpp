#include "output/DecodedText.h"

#include "engine/AnsiCodePage.h"

namespace culvex {

char16_t* decodeInto(char16_t* out, std::string_view bytes) {
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code < 0x80 ? char16_t{code} : ansi::decodeByte(code);
    }
    return out;
}

QString shownText(std::string_view bytes) {
    const bool cut = bytes.size() > kShownCharacters;
    const std::string_view shown = bytes.substr(0, kShownCharacters);
    QString text(static_cast<qsizetype>(shown.size() + (cut ? 1 : 0)), Qt::Uninitialized);
    char16_t* end = decodeInto(reinterpret_cast<char16_t*>(text.data()), shown);
    if (cut) {
        *end = u'\u2026';
    }
    return text;
}

}  // namespace culvex
