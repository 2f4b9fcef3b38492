#include "output/DecodedText.h"

#include "platform/AnsiCodePage.h"

namespace culvex {

void appendDecoded(QString& text, std::string_view bytes) {
    const qsizetype start = text.size();
    text.resize(start + static_cast<qsizetype>(bytes.size()));
    char16_t* out = reinterpret_cast<char16_t*>(text.data()) + start;
    for (const char byte : bytes) {
        *out++ = ansi::decodeByte(static_cast<unsigned char>(byte));
    }
}

QString decodedText(std::string_view bytes) {
    QString text;
    appendDecoded(text, bytes);
    return text;
}

}  // namespace culvex
