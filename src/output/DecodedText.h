#pragma once

#include <QString>
#include <string_view>

namespace culvex {

// Row bytes in the input's code page (Windows-1252) as display text, one character per
// byte.
QString decodedText(std::string_view bytes);

// Writes the characters of the bytes at `out`, which has room for bytes.size() of them;
// returns the end of what it wrote.
char16_t* decodeInto(char16_t* out, std::string_view bytes);

}  // namespace culvex
