#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace culvex {

// How row bytes become characters, and in which bytes typed text is looked for.
// Auto: a text that is valid UTF-8 is read as UTF-8, any other as Windows-1252 (one
// character per byte). Windows-1252 and Utf8 pin one of the two.
enum class TextEncoding { Auto, Windows1252, Utf8 };

namespace utf8 {

// Code points above Unicode stand for bytes that begin no valid sequence, so that such a
// byte equals no character.
inline constexpr char32_t kStrayByte = 0x110000;

// The length (1 to 4) of the valid UTF-8 sequence at the start of `bytes`, or 0 when none
// starts there: a cut sequence, an overlong form, a surrogate or a value above U+10FFFF.
std::size_t sequenceLength(std::string_view bytes);

// Whether every byte of `bytes` belongs to a valid sequence.
bool isValid(std::string_view bytes);

// The number of bytes before the first one above 0x7F.
std::size_t asciiPrefix(std::string_view bytes);

// The code point starting at bytes[at], moving `at` past it; a byte that starts no valid
// sequence gives kStrayByte plus the byte and moves one byte on.
char32_t next(std::string_view bytes, std::size_t& at);

// The code point ending at bytes[end - 1], moving `end` back to its start, with the same
// rule for stray bytes.
char32_t previous(std::string_view bytes, std::size_t& end);

// Appends the UTF-8 bytes of a code point; a surrogate gets the three bytes of its
// generalised form, so that a lone one survives a round trip through bytes.
void append(std::string& out, char32_t c);

// The UTF-8 byte-order mark, which a file may start with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace utf8

// Writes the characters of one row at `out`, which has room for bytes.size() of them, and
// returns the end of what it wrote. A row read as UTF-8 loses a leading byte-order mark
// (the bytes keep it); under Utf8 a byte that begins no valid sequence becomes U+FFFD.
char16_t* decodeRowInto(char16_t* out, std::string_view bytes, TextEncoding encoding);

}  // namespace culvex
