#pragma once

#include "engine/LineSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace culvex {

// The decimal point and the group separator of the user's numbers, as UTF-8.
struct NumberFormat {
    std::string decimalPoint = ".";
    std::string groupSeparator = ",";
};

// The numbers a user types (in a number box, on the command line or in the settings file)
// are read by two rules that differ on purpose, both in this one reader:
//
// - Whole text: what a number box accepts when it loses the focus, what the range check
//   compares and what a stored option or check box reads as. Surrounding white space, a
//   sign, digits in groups of three (the first group one to three digits), a fraction and
//   an exponent ("E" or "D"), in the user's format or in the plain one of NumberFormat{},
//   or "&H"/"&O" and hexadecimal or octal digits (a 16- or 32-bit integer, negative when
//   its top bit is set). Nothing else may follow; an infinite value is no number.
// - Leading number: how the extraction turns a typed column number into a column. Blanks,
//   tabs and line feeds are skipped wherever they stand, '.' is the decimal point whatever
//   the user's format, there are no group separators, and reading stops at the first
//   character that cannot continue the number; a text without a leading number reads as 0.

// The value of a text that is a number as a whole; nothing for any other text.
std::optional<double> readNumericEntry(std::string_view text, const NumberFormat& user);

inline bool isNumericEntry(std::string_view text, const NumberFormat& user) {
    return readNumericEntry(text, user).has_value();
}

// The whole number of a text, rounded half to even. Throws std::invalid_argument for a
// text that is not a number and std::out_of_range for one outside the 32-bit range.
std::int32_t toWholeNumber32(std::string_view text, const NumberFormat& user);

// A stored option text as a boolean: "True"/"False" in any letter case, or any number
// (zero false, every other number true). Throws std::invalid_argument("Type mismatch").
bool toBoolean(std::string_view text, const NumberFormat& user);

// A stored check box text as a 16-bit integer, rounded half to even. Throws
// std::invalid_argument("Type mismatch") for a text that is not a number and
// std::out_of_range("Overflow") outside -32768..32767.
int toShortInteger(std::string_view text, const NumberFormat& user);

// "True" or "False", as option buttons are stored.
std::string_view booleanText(bool value);

// The leading number of a text; a number too large for a double reads as infinity.
double readLeadingNumber(std::string_view text);

// The column index of a typed column number: its leading number minus one, rounded half to
// even; an overflow outside the 16-bit range.
ColumnIndex columnIndexOf(std::string_view text);

}  // namespace culvex
