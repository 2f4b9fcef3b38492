#pragma once

#include <QCursor>
#include <QString>

namespace culvex {

// Loads a cursor file (.cur, or any image Qt reads) with the hot spot the file names.
// Throws with the reader's wording when the file cannot be read as an image.
QCursor loadCursorFile(const QString& path);

}  // namespace culvex
