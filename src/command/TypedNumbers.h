#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace culvex {

// The numbers a user types, read by three rules that differ on purpose:
//
// - Entry check (parseNumericEntry): what a number box accepts when it loses the focus and
//   what a stored option or check box reads as. The user's system locale's form (sign, fraction,
//   thousands separators, exponent, surrounding blanks) or the C locale's, so "1.5" is a
//   number everywhere; an infinite value is not a number.
// - Whole number (toWholeNumber32): how the range check compares the start and end
//   positions. The default locale's form only, rounded with halves to even, and it
//   throws where the text is not a number or leaves the 32-bit range.
// - Column position (readLeadingNumber and columnIndexOf in engine/PositionNumber.h): how
//   the extraction turns a typed position into a column. Lenient, '.' as the decimal
//   point whatever the locale, stopping at the first character that cannot continue the
//   number. It lives in the engine, which reads bytes and needs no Qt.

// The value of a number as the entry check reads it; nothing for any other text.
std::optional<double> parseNumericEntry(const QString& text);

inline bool isNumericEntry(const QString& text) { return parseNumericEntry(text).has_value(); }

// The whole number of a text. Throws std::invalid_argument for a text that is not a number
// and std::out_of_range for one outside the 32-bit range.
std::int32_t toWholeNumber32(const QString& text);

}  // namespace culvex
