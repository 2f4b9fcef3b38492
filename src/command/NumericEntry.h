#pragma once

#include <QString>
#include <optional>

namespace culvex {

// The value of a number as the user writes it: a sign, a fraction, thousands separators
// and an exponent in the user's locale, surrounded by blanks or not. The C locale's form
// is accepted too, so "1.5" is a number everywhere. Nothing for any other text.
std::optional<double> parseNumericEntry(const QString& text);

inline bool isNumericEntry(const QString& text) { return parseNumericEntry(text).has_value(); }

}  // namespace culvex
