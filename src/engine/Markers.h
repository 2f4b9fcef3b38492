#pragma once

#include "engine/TextEncoding.h"

#include <string_view>

namespace culvex {

// Marker tests on bytes of the Windows-1252 code page, letter case ignored: ASCII
// letters, the accented letters À-Þ/à-þ (not × and ÷), and Š/š, Œ/œ, Ž/ž, Ÿ/ÿ.
// A marker longer than the column never matches; an empty marker always does.
bool beginsWithMarker(std::string_view column, std::string_view marker);
bool endsWithMarker(std::string_view column, std::string_view marker);

// The lower-case form of one byte.
unsigned char foldCase(unsigned char byte);

// The case-folded form of one character; characters outside ASCII come from the caller,
// which knows the Unicode tables.
using CaseFold = char32_t (*)(char32_t);

// Marker tests on UTF-8 text, character by character: `folded` holds the marker's
// characters already case-folded, and each character of the column is folded with `fold`
// (ASCII letters alone when it is null) before they are compared. A byte that begins no
// valid sequence equals no character.
bool beginsWithFoldedMarker(std::string_view column, std::u32string_view folded, CaseFold fold);
bool endsWithFoldedMarker(std::string_view column, std::u32string_view folded, CaseFold fold);

}  // namespace culvex
