#include "engine/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace culvex {
namespace {

std::u16string decoded(std::string_view bytes, TextEncoding encoding) {
    std::u16string text(bytes.size(), u'\0');
    text.resize(
        static_cast<std::size_t>(decodeRowInto(text.data(), bytes, encoding) - text.data()));
    return text;
}

// Each row as read under Auto, Windows-1252 and UTF-8.
TEST(TextEncoding, DecodesEachRowByItsOwnBytes) {
    const struct {
        const char* name;
        std::string bytes;
        std::u16string autoText;
        std::u16string windows1252;
        std::u16string utf8;
    } cases[] = {
        {"ASCII", "id,name 7", u"id,name 7", u"id,name 7", u"id,name 7"},
        {"empty", "", u"", u"", u""},
        {"UTF-8 two bytes", "caf\xC3\xA9", u"café", u"cafÃ©", u"café"},
        {"UTF-8 three bytes", "\xE6\x97\xA5\xE6\x9C\xAC", u"日本", u"æ—¥æœ¬", u"日本"},
        {"UTF-8 four bytes", "a\xF0\x9F\x98\x80", u"a\U0001F600", u"aðŸ˜€", u"a\U0001F600"},
        {"long ASCII head, UTF-8 tail", "0123456789abcdef\xC3\xA9", u"0123456789abcdefé",
         u"0123456789abcdefÃ©", u"0123456789abcdefé"},
        {"Windows-1252 text", "caf\xE9 \x80\x9F\xFF", u"café €Ÿÿ", u"café €Ÿÿ",
         u"caf\uFFFD \uFFFD\uFFFD\uFFFD"},
        {"cut sequence at the end", "caf\xC3", u"cafÃ", u"cafÃ", u"caf\uFFFD"},
        {"cut three-byte sequence", "\xE6\x97x", u"æ—x", u"æ—x", u"\uFFFD\uFFFDx"},
        {"lone continuation byte", "a\xA9", u"a©", u"a©", u"a\uFFFD"},
        {"overlong two bytes", "\xC0\xAF", u"À¯", u"À¯", u"\uFFFD\uFFFD"},
        {"overlong with C1", "\xC1\xBF", u"Á¿", u"Á¿", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"à€¯", u"à€¯", u"\uFFFD\uFFFD\uFFFD"},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", u"ð\u008F¿¿", u"ð\u008F¿¿",
         u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", u"í\u00A0€", u"í\u00A0€", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"ô\u0090€€", u"ô\u0090€€",
         u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"lead byte F5", "\xF5\x80\x80\x80", u"õ€€€", u"õ€€€", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"lead byte FF", "\xFF", u"ÿ", u"ÿ", u"\uFFFD"},
        // Windows-1252 "Ã©" is the UTF-8 of "é": a capital A tilde followed by a byte from
        // 80-BF is rare in real text, while most accented words are not valid UTF-8.
        {"Windows-1252 that is valid UTF-8", "\xC3\xA9t\xC3\xA9", u"été", u"Ã©tÃ©", u"été"},
        {"byte-order mark first", "\xEF\xBB\xBFid", u"id", u"ï»¿id", u"id"},
        {"byte-order mark alone", "\xEF\xBB\xBF", u"", u"ï»¿", u""},
        {"byte-order mark later", "a\xEF\xBB\xBF", u"a\uFEFF", u"aï»¿", u"a\uFEFF"},
        {"byte-order mark in an invalid row", "\xEF\xBB\xBF\xE9", u"ï»¿é", u"ï»¿é", u"\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decoded(c.bytes, TextEncoding::Auto), c.autoText) << c.name;
        EXPECT_EQ(decoded(c.bytes, TextEncoding::Windows1252), c.windows1252) << c.name;
        EXPECT_EQ(decoded(c.bytes, TextEncoding::Utf8), c.utf8) << c.name;
    }
}

// Walking a text both ways gives the same characters, stray bytes included.
TEST(TextEncoding, WalksCharactersForwardAndBack) {
    const std::string text = "a\xC3\xA9\xE9\xE6\x97\xA5\xF0\x9F\x98\x80\x80\xC3";
    const std::u32string expected = {U'a',
                                     U'é',
                                     utf8::kStrayByte + 0xE9,
                                     U'日',
                                     U'\U0001F600',
                                     utf8::kStrayByte + 0x80,
                                     utf8::kStrayByte + 0xC3};
    std::u32string forward;
    for (std::size_t at = 0; at < text.size();) {
        forward.push_back(utf8::next(text, at));
    }
    std::u32string backward;
    for (std::size_t end = text.size(); end > 0;) {
        backward.insert(backward.begin(), utf8::previous(text, end));
    }
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
}

}  // namespace
}  // namespace culvex
