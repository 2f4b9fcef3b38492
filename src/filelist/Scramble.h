#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace culvex {

class Yielder;

// The fixed key of the sample-file record: eight lowercase letters.
inline constexpr std::string_view kSnapshotKey = "tqmvkrze";

// Adds the key's byte codes to the text's byte codes, cycling through the key, and wraps
// sums above 255 by subtracting 255, so every code stays from 1 to 255. Yields once per
// byte.
std::string scrambleBytes(std::string_view bytes, std::string_view key, Yielder& yielder);
// The inverse of scrambleBytes for bytes from 1 to 255.
std::string unscrambleBytes(std::string_view bytes, std::string_view key, Yielder& yielder);

// Scrambles the text's UTF-8 bytes, so any path survives, and carries the result as
// Windows-1252 characters (one character per byte) for the settings store.
QString ScrambleText(const QString& text, std::string_view key, Yielder& yielder);
QString UnscrambleText(const QString& text, std::string_view key, Yielder& yielder);

}  // namespace culvex
