#include "engine/TextEncoding.h"

#include "engine/AnsiCodePage.h"

#include <cstdint>
#include <cstring>

namespace culvex {
namespace utf8 {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The allowed range of the second byte after a lead byte; the later ones are 80-BF.
struct Lead {
    std::size_t length;
    unsigned char low;
    unsigned char high;
};

Lead leadOf(unsigned char byte) {
    if (byte < 0x80) {
        return {1, 0, 0};
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return {3, byte == 0xE0 ? std::uint8_t{0xA0} : std::uint8_t{0x80},
                byte == 0xED ? std::uint8_t{0x9F} : std::uint8_t{0xBF}};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return {4, byte == 0xF0 ? std::uint8_t{0x90} : std::uint8_t{0x80},
                byte == 0xF4 ? std::uint8_t{0x8F} : std::uint8_t{0xBF}};
    }
    return {0, 0, 0};
}

char32_t valueOf(std::string_view bytes, std::size_t length) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<unsigned char>(bytes[0]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i) {
        value = (value << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    }
    return value;
}

}  // namespace

std::size_t sequenceLength(std::string_view bytes) {
    if (bytes.empty()) {
        return 0;
    }
    const Lead lead = leadOf(static_cast<unsigned char>(bytes[0]));
    if (lead.length <= 1 || bytes.size() < lead.length) {
        return lead.length <= 1 ? lead.length : 0;
    }
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (second < lead.low || second > lead.high) {
        return 0;
    }
    for (std::size_t i = 2; i < lead.length; ++i) {
        if (!isContinuation(static_cast<unsigned char>(bytes[i]))) {
            return 0;
        }
    }
    return lead.length;
}

std::size_t asciiPrefix(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
    }
    while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) {
        ++at;
    }
    return at;
}

bool isValid(std::string_view bytes) {
    std::size_t at = asciiPrefix(bytes);
    while (at < bytes.size()) {
        const std::size_t length = sequenceLength(bytes.substr(at));
        if (length == 0) {
            return false;
        }
        at += length;
        at += asciiPrefix(bytes.substr(at));
    }
    return true;
}

char32_t next(std::string_view bytes, std::size_t& at) {
    const std::size_t length = sequenceLength(bytes.substr(at));
    if (length == 0) {
        return kStrayByte + static_cast<unsigned char>(bytes[at++]);
    }
    const char32_t value = valueOf(bytes.substr(at), length);
    at += length;
    return value;
}

char32_t previous(std::string_view bytes, std::size_t& end) {
    for (std::size_t length = 1; length <= 4 && length <= end; ++length) {
        const std::size_t start = end - length;
        if (!isContinuation(static_cast<unsigned char>(bytes[start]))) {
            if (sequenceLength(bytes.substr(start, length)) != length) {
                break;
            }
            end = start;
            return valueOf(bytes.substr(start), length);
        }
    }
    return kStrayByte + static_cast<unsigned char>(bytes[--end]);
}

void append(std::string& out, char32_t c) {
    const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

}  // namespace utf8

namespace {

char16_t* widenAscii(char16_t* out, std::string_view bytes) {
    for (const char byte : bytes) {
        *out++ = static_cast<char16_t>(byte);
    }
    return out;
}

char16_t* decodeWindows1252(char16_t* out, std::string_view bytes) {
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code < 0x80 ? char16_t{code} : ansi::decodeByte(code);
    }
    return out;
}

char16_t* decodeUtf8(char16_t* out, std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const char32_t c = utf8::next(bytes, at);
        if (c >= utf8::kStrayByte) {
            *out++ = u'\uFFFD';
        } else if (c >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace

char16_t* decodeRowInto(char16_t* out, std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252) {
        return decodeWindows1252(out, bytes);
    }
    // An ASCII head reads the same in both code pages; only the rest decides.
    const std::size_t ascii = utf8::asciiPrefix(bytes);
    out = widenAscii(out, bytes.substr(0, ascii));
    std::string_view rest = bytes.substr(ascii);
    if (rest.empty()) {
        return out;
    }
    if (encoding == TextEncoding::Auto && !utf8::isValid(rest)) {
        return decodeWindows1252(out, rest);
    }
    if (ascii == 0 && rest.starts_with(utf8::kByteOrderMark)) {
        rest.remove_prefix(utf8::kByteOrderMark.size());
    }
    return decodeUtf8(out, rest);
}

}  // namespace culvex
