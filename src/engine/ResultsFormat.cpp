#include "engine/ResultsFormat.h"

#include <algorithm>

namespace culvex {

std::size_t spacedWidth(std::size_t longestRow) {
    return std::max(kSpacedHeader.size(), longestRow);
}

void appendSpacedLine(std::string& out, std::string_view value, std::size_t width) {
    out.append(value);
    if (value.size() < width) {
        out.append(width - value.size(), ' ');
    }
    out.append("\t\r\n");
}

void appendCommaLine(std::string& out, std::string_view row, bool last) {
    out.append(row);
    out.append(last ? "\r\n" : ",\r\n");
}

}  // namespace culvex
