#pragma once

#include <QString>
#include <string_view>

namespace culvex {

// Row bytes in the input's code page (Windows-1252) as display text, one character per
// byte.
QString decodedText(std::string_view bytes);
void appendDecoded(QString& text, std::string_view bytes);

}  // namespace culvex
