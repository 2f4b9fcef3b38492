#include "platform/Utf8Bytes.h"

#include "engine/TextEncoding.h"

namespace culvex {

std::string toUtf8Bytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            utf8::append(bytes, QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            utf8::append(bytes, c.unicode());
        }
    }
    return bytes;
}

QString fromUtf8Bytes(std::string_view bytes) {
    QString text;
    std::size_t start = 0;
    const auto flush = [&](std::size_t end) {
        text += QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(end - start));
    };
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
        if (byte(i) == 0xED && (byte(i + 1) & 0xE0) == 0xA0 && (byte(i + 2) & 0xC0) == 0x80) {
            flush(i);
            text += QChar(
                static_cast<char16_t>(0xD000 | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F)));
            i += 2;
            start = i + 1;
        }
    }
    flush(bytes.size());
    return text;
}

}  // namespace culvex
