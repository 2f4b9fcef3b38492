#pragma once

#include "engine/LineSettings.h"

#include <QString>

namespace culvex {

// A text typed in the window, in the input's code page. `representable` is false when
// some character has no byte in the code page: such a text can match nothing in a file.
// Its UTF-8 bytes and case-folded characters come with it.
CodePageText toCodePageText(const QString& text);

// The simple Unicode case folding of one character.
char32_t foldCharacter(char32_t c);

}  // namespace culvex
