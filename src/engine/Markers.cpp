#include "engine/Markers.h"

#include <array>

namespace culvex {
namespace {

constexpr std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<unsigned char>(b);
    }
    for (int b = 'A'; b <= 'Z'; ++b) {
        table[b] = static_cast<unsigned char>(b + 0x20);
    }
    for (int b = 0xC0; b <= 0xDE; ++b) {
        if (b != 0xD7) {
            table[b] = static_cast<unsigned char>(b + 0x20);
        }
    }
    table[0x8A] = 0x9A;  // Š š
    table[0x8C] = 0x9C;  // Œ œ
    table[0x8E] = 0x9E;  // Ž ž
    table[0x9F] = 0xFF;  // Ÿ ÿ
    return table;
}

constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

bool equalFolded(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])]) {
            return false;
        }
    }
    return true;
}

char32_t foldCharacter(char32_t c, CaseFold fold) {
    if (c < 0x80) {
        return kFold[c];
    }
    return fold == nullptr || c >= utf8::kStrayByte ? c : fold(c);
}

}  // namespace

unsigned char foldCase(unsigned char byte) { return kFold[byte]; }

bool beginsWithMarker(std::string_view column, std::string_view marker) {
    return marker.size() <= column.size() && equalFolded(column.substr(0, marker.size()), marker);
}

bool endsWithMarker(std::string_view column, std::string_view marker) {
    return marker.size() <= column.size() &&
           equalFolded(column.substr(column.size() - marker.size()), marker);
}

bool beginsWithFoldedMarker(std::string_view column, std::u32string_view folded, CaseFold fold) {
    std::size_t at = 0;
    for (const char32_t wanted : folded) {
        if (at == column.size() || foldCharacter(utf8::next(column, at), fold) != wanted) {
            return false;
        }
    }
    return true;
}

bool endsWithFoldedMarker(std::string_view column, std::u32string_view folded, CaseFold fold) {
    std::size_t end = column.size();
    for (std::size_t i = folded.size(); i-- > 0;) {
        if (end == 0 || foldCharacter(utf8::previous(column, end), fold) != folded[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace culvex
