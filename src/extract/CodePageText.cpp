#include "extract/CodePageText.h"

#include "engine/AnsiCodePage.h"

namespace culvex {

CodePageText toCodePageText(const QString& text) {
    const std::u16string characters = text.toStdU16String();
    CodePageText result{ansi::encode(characters), true};
    result.representable = ansi::decode(result.bytes) == characters;
    return result;
}

}  // namespace culvex
