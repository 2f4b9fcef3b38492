#include "extract/CodePageText.h"

#include "engine/AnsiCodePage.h"

#include <QList>

namespace culvex {

CodePageText toCodePageText(const QString& text) {
    const std::u16string characters = text.toStdU16String();
    CodePageText result;
    result.bytes = ansi::encode(characters);
    result.representable = ansi::decode(result.bytes) == characters;
    const QByteArray utf8 = text.toUtf8();
    result.utf8.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    for (const char32_t c : text.toUcs4()) {
        result.folded.push_back(foldCharacter(c));
    }
    return result;
}

char32_t foldCharacter(char32_t c) { return QChar::toCaseFolded(c); }

}  // namespace culvex
