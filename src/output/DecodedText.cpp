#include "output/DecodedText.h"

#include "platform/AnsiCodePage.h"

namespace culvex {

char16_t* decodeInto(char16_t* out, std::string_view bytes) {
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code < 0x80 ? char16_t{code} : ansi::decodeByte(code);
    }
    return out;
}

QString decodedText(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    decodeInto(reinterpret_cast<char16_t*>(text.data()), bytes);
    return text;
}

}  // namespace culvex
