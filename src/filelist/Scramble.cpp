#include "filelist/Scramble.h"

#include "engine/AnsiCodePage.h"
#include "platform/Yielder.h"

namespace culvex {

namespace {

constexpr int kCodeRange = 255;

template <class Combine>
std::string walk(std::string_view bytes, std::string_view key, Yielder& yielder, Combine combine) {
    std::string result;
    result.reserve(bytes.size());
    std::size_t keyPosition = 0;
    for (const char byte : bytes) {
        yielder.yield();
        const int c = static_cast<unsigned char>(byte);
        const int k = static_cast<unsigned char>(key[keyPosition]);
        keyPosition = (keyPosition + 1) % key.size();
        result.push_back(static_cast<char>(combine(c, k)));
    }
    return result;
}

QString fromBytes(const std::string& bytes) {
    const std::u16string text = ansi::decode(bytes);
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::string toBytes(const QString& text) {
    return ansi::encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<std::size_t>(text.size())));
}

}  // namespace

std::string scrambleBytes(std::string_view bytes, std::string_view key, Yielder& yielder) {
    return walk(bytes, key, yielder, [](int c, int k) {
        const int v = c + k;
        return v > kCodeRange ? v - kCodeRange : v;
    });
}

std::string unscrambleBytes(std::string_view bytes, std::string_view key, Yielder& yielder) {
    return walk(bytes, key, yielder, [](int c, int k) {
        const int v = c - k;
        return v < 1 ? v + kCodeRange : v;
    });
}

QString ScrambleText(const QString& text, std::string_view key, Yielder& yielder) {
    return fromBytes(scrambleBytes(text.toStdString(), key, yielder));
}

QString UnscrambleText(const QString& text, std::string_view key, Yielder& yielder) {
    return QString::fromStdString(unscrambleBytes(toBytes(text), key, yielder));
}

}  // namespace culvex
