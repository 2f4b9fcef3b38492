#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace culvex {

// A text as the UTF-8 bytes the program's Qt-free rules work on, and back. A lone UTF-16
// surrogate (a text box may hold one) keeps the three bytes of its generalised UTF-8 form,
// so that every text survives the round trip.
std::string toUtf8Bytes(const QString& text);
QString fromUtf8Bytes(std::string_view bytes);

}  // namespace culvex
