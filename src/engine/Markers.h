#pragma once

#include <string_view>

namespace culvex {

// Marker tests on bytes of the Windows-1252 code page, letter case ignored: ASCII
// letters, the accented letters À-Þ/à-þ (not × and ÷), and Š/š, Œ/œ, Ž/ž, Ÿ/ÿ.
// A marker longer than the column never matches; an empty marker always does.
bool beginsWithMarker(std::string_view column, std::string_view marker);
bool endsWithMarker(std::string_view column, std::string_view marker);

// The lower-case form of one byte.
unsigned char foldCase(unsigned char byte);

}  // namespace culvex
