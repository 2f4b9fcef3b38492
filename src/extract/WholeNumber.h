#pragma once

#include <QString>
#include <cstdint>

namespace culvex {

// Converts a typed number to a 32-bit whole number the way the user's locale writes
// numbers (sign, group separators, decimal point, exponent, surrounding blanks), rounded
// to the nearest whole number with halves to even. Throws std::invalid_argument for a
// text that is not a number and std::out_of_range for one outside the 32-bit range.
std::int32_t toWholeNumber32(const QString& text);

}  // namespace culvex
