#pragma once

#include "engine/CodePageText.h"

#include <string_view>

namespace culvex {

// A separator or marker as the user typed it, given as UTF-8 (the window's text boxes, the
// settings file, the command line of a UTF-8 system), in both forms that lines are read in.
// A text that is not valid UTF-8 is taken as Windows-1252, one character per byte.
CodePageText typedText(std::string_view text);

// The simple Unicode case folding of one character, by the ICU library: the same table
// for the window and the command line, kept up to date with Unicode by the system.
char32_t foldCharacter(char32_t c);

}  // namespace culvex
