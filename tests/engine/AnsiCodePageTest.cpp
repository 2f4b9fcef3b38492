#include "engine/AnsiCodePage.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

TEST(AnsiCodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(ansi::encode(ansi::decode(all)), all);
}

TEST(AnsiCodePage, DecodesTheWindowsPunctuationRange) {
    const struct {
        unsigned char byte;
        char16_t expected;
    } cases[] = {{0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x93, u'\u201C'},
                 {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'}};
    for (const auto& c : cases) {
        EXPECT_EQ(ansi::decodeByte(c.byte), c.expected) << int(c.byte);
    }
}

TEST(AnsiCodePage, UnrepresentableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(ansi::encode(u"a\u4E2Db\u20AC"), std::string("a?b\x80"));
}

}  // namespace
}  // namespace culvex
