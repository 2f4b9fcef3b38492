#pragma once

#include <cstdint>
#include <string_view>

namespace culvex {

// The column position rule; the window's other number rules are in command/TypedNumbers.h.
// Reads the start of a text as a number, leniently: blanks, tabs and line feeds are
// skipped wherever they stand; a sign, digits, a fraction after '.' (whatever the
// locale) and an exponent ("E" or "D") are taken, or "&H"/"&O" and hexadecimal or octal
// digits (16- or 32-bit integers, as the number boxes read them); reading stops at the first
// character that cannot continue the number. A text without a leading number reads as 0. A number
// too large for a double reads as infinity.
double readLeadingNumber(std::string_view text);

// A column index taken from a column number typed by the user.
struct ColumnIndex {
    std::int16_t value = 0;
    // The index lies outside the 16-bit range (or the number was not finite).
    bool overflow = false;
};

// The column index of a typed column number: the number read leniently, minus one,
// rounded to the nearest whole number with halves to even.
ColumnIndex columnIndexOf(std::string_view text);

}  // namespace culvex
