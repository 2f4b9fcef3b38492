#include "choices/SettingsFile.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace culvex {
namespace {

const std::string kPlainSection = "[Culvex]\n" + std::string(SettingsFile::kMarker) + "\n";

TEST(SettingsFile, ReadsBothFormsAsTheWindowDoes) {
    const struct {
        const char* name;
        std::string file;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"plain: spaces kept", kPlainSection + "Text5= | \n", "Text5", " | "},
        {"plain: a quote", kPlainSection + "Text5=\"\n", "Text5", "\""},
        {"plain: no escapes", kPlainSection + "Text5=\\t;x\n", "Text5", "\\t;x"},
        {"plain: escaped form", kPlainSection + "Text5\\=a\\u000d\\u000a\\\\\\ud83d\\ude00\n",
         "Text5", "a\r\n\\\xF0\x9F\x98\x80"},
        {"plain: a lone surrogate", kPlainSection + "Text5\\=\\ud800x\n", "Text5", "\xED\xA0\x80x"},
        {"plain: key in other case, CR LF", kPlainSection + "text5=;\r\n", "TEXT5", ";"},
        {"first of equal keys", kPlainSection + "Text5=a\nText5=b\n", "Text5", "a"},
        {"header in other case, byte-order mark", "\xEF\xBB\xBF[culvex]\nText1=2\n", "Text1", "2"},
        {"other sections ignored", "[Other]\nText1=9\n[Culvex]\n", "Text1", std::nullopt},
        {"old: quotes and escapes", "[Culvex]\nText5=\" | \"\nText4=a\\tb\\x41\n", "Text5", " | "},
        {"old: escapes", "[Culvex]\nText4=a\\tb\\x41 ; comment\n", "Text4", "a\tbA"},
        {"old: a doubled @", "[Culvex]\nText5=@@x\n", "Text5", "@x"},
        {"old: @String", "[Culvex]\nText5=@String(1)\n", "Text5", "1"},
        {"a comment", "[Culvex]\n;Text5=x\n", "Text5", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFile(c.file, "Culvex").value(c.key), c.value) << c.name;
    }
}

TEST(SettingsFile, EveryValueWrittenReadsBackAndOtherSectionsStay) {
    const std::string values[] = {
        "",
        " | ",
        "\"",
        "\t",
        "  both  ",
        "a\r\nb\n",
        std::string("\0x", 2),
        "\\u000a",
        "caf\xC3\xA9",
        "\xED\xA0\x80x",
        "\xED\xA0\x80\xED\xB0\x80",
        "[Culvex]",
        "; not a comment",
        "@@",
        "=x=y",
        "\\",
    };
    SettingsFile file("[Other]\nText5=keep\n", "Culvex");
    for (std::size_t i = 0; i < std::size(values); ++i) {
        file.setValue("Key" + std::to_string(i), values[i]);
    }
    const SettingsFile reread(file.bytes(), "Culvex");
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(reread.value("Key" + std::to_string(i)), values[i]) << i;
    }
    EXPECT_EQ(SettingsFile(file.bytes(), "Other").value("Text5"), "keep");
}

// A change rewrites only what it must: other sections keep every byte, a last line without
// a break stays so, and the program's section keeps its CR LF line ends.
TEST(SettingsFile, ARewriteKeepsOtherBytesAndTheSectionsLineEnds) {
    const std::string marker(SettingsFile::kMarker);
    const struct {
        std::string before;
        const char* key;
        std::string after;
    } cases[] = {
        {"[Culvex]\nK=1\n[Other]\nA=1", "K", "[Culvex]\n" + marker + "\nK=2\n[Other]\nA=1"},
        {"[Culvex]\r\nK=1\r\nJ=x\r\n", "K", "[Culvex]\r\n" + marker + "\r\nK=2\r\nJ=x\r\n"},
        {"[Culvex]\r\nJ=x\r\n[Other]\r\nA=1", "K",
         "[Culvex]\r\n" + marker + "\r\nJ=x\r\nK=2\r\n[Other]\r\nA=1"},
        {"[Other]\r\nA=1", "K", "[Other]\r\nA=1\n\n[Culvex]\n" + marker + "\nK=2\n"},
    };
    for (const auto& c : cases) {
        SettingsFile file(c.before, "Culvex");
        file.setValue(c.key, "2");
        EXPECT_EQ(file.bytes(), c.after) << c.before;
    }
}

}  // namespace
}  // namespace culvex
