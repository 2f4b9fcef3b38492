#pragma once

#include "engine/LineSettings.h"

#include <QString>

namespace culvex {

// A text typed in the window, in the input's code page. `representable` is false when
// some character has no byte in the code page: such a text can match nothing in a file.
CodePageText toCodePageText(const QString& text);

}  // namespace culvex
