#pragma once

#include <string>
#include <string_view>

namespace culvex::ansi {

// The single-byte code page the program reads and writes: Windows-1252. Every byte is
// one character; the five bytes the code page leaves undefined map to the C1 controls of
// the same value, so every byte sequence survives a decode/encode round trip.

char16_t decodeByte(unsigned char byte);
std::u16string decode(std::string_view bytes);

// Characters the code page cannot represent become '?'.
std::string encode(std::u16string_view text);

}  // namespace culvex::ansi
