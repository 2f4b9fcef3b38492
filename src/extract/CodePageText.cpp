#include "extract/CodePageText.h"

#include "engine/AnsiCodePage.h"

namespace culvex {

Marker toCodePageText(const QString& text) {
    const std::u16string characters = text.toStdU16String();
    Marker result{ansi::encode(characters), true};
    result.representable = ansi::decode(result.bytes) == characters;
    return result;
}

}  // namespace culvex
