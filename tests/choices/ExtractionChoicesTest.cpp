#include "choices/ExtractionChoices.h"
#include "choices/RangeChecks.h"
#include "choices/TypedText.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace culvex {
namespace {

using Stored = std::map<std::string, std::string, std::less<>>;

ExtractionChoices fromStore(const Stored& stored) {
    return storedChoices(
        [&stored](std::string_view key) -> std::optional<std::string> {
            const auto found = stored.find(key);
            return found == stored.end() ? std::nullopt : std::optional(found->second);
        },
        NumberFormat{});
}

TEST(StoredChoices, AsTheWindowOpensWithThem) {
    const struct {
        const char* name;
        Stored stored;
        const char* expected;  // "start end separator range encoding", or the refusal
    } cases[] = {
        {"first run", {}, "N1 N5 T, off Auto"},
        {"comma chosen", {{"Option9", "True"}, {"Option11", "False"}}, "N1 N5 C off Auto"},
        {"no separator",
         {{"Option7", "0"}, {"Option9", "0"}, {"Option11", "false"}},
         "N1 N5 - off Auto"},
        {"last of a group wins",
         {{"Option2", "True"}, {"Option3", "0"}, {"Option4", "-1"}},
         "Ma Ma T, off Auto"},
        {"range and encoding",
         {{"Check1", "1"}, {"Encoding", " utf-8"}, {"Text2", ""}},
         "N1 N5 T, on UTF-8"},
        {"no boolean",
         {{"Option9", "maybe"}},
         "the stored setting Option9 is not true, false or a number"},
        {"no number", {{"Check1", "x"}}, "the stored setting Check1 is not a number"},
        {"neither 0 nor 1", {{"Check1", "2"}}, "the stored setting Check1 is neither 0 nor 1"},
        {"quoted fields", {{"QuotedFields", "1"}}, "N1 N5 T, off Auto quoted"},
        {"quoted fields only by 1", {{"QuotedFields", "True"}}, "N1 N5 T, off Auto"},
    };
    for (const auto& c : cases) {
        std::string seen;
        try {
            const ExtractionChoices choices = fromStore(c.stored);
            const auto end = [](bool byNumber, const std::string& number,
                                const std::string& marker) {
                return byNumber ? "N" + number : "M" + marker;
            };
            const char* separators[] = {"-", "S", "CS", "C", "Tab", "T"};
            seen = end(choices.startByNumber, choices.startNumber, choices.startMarker) + " " +
                   end(choices.endByNumber, choices.endNumber, choices.endMarker) + " " +
                   separators[static_cast<int>(choices.separator)] +
                   (choices.separator == SeparatorChoice::Typed ? choices.typedSeparator : "") +
                   (choices.rangeOn ? " on " : " off ") +
                   std::string(encodingName(choices.encoding)) + (choices.quoted ? " quoted" : "");
        } catch (const StoredChoiceError& e) {
            seen = e.what();
        }
        EXPECT_EQ(seen, c.expected) << c.name;
    }
}

TEST(RangeChecks, TheFirstThatFailsInTheWindowsOrder) {
    const struct {
        const char* name;
        bool startByNumber;
        const char* start;
        bool endByNumber;
        const char* end;
        const char* message;  // empty: every check passes
        const char* conversionFailure;
    } cases[] = {
        {"no start number", true, "", true, "", "You forgot to input the start position.", ""},
        {"no end number", true, "1", true, "", "You forgot to input the end position.", ""},
        {"end before start", true, "5", true, "3",
         "End position must be greater than start position.", ""},
        {"equal after rounding", true, "2.4", true, "2", "", ""},
        {"hexadecimal", true, "&H2", true, "&H3", "", ""},
        {"thousands", true, "1,000", true, "1,001", "", ""},
        {"not a number", true, "1", true, "0x6",
         "End position must be greater than start position.",
         "Type mismatch: \"0x6\" is not a number"},
        {"no start marker", false, "", true, "3", "You forgot to input the start character.", ""},
        {"no end marker", false, "x", false, "", "You forgot to input the end character.", ""},
        {"start marker, end not a number", false, "x", true, "abc", "", ""},
    };
    for (const auto& c : cases) {
        ExtractionChoices choices;
        choices.rangeOn = true;
        choices.startByNumber = c.startByNumber;
        choices.startByMarker = !c.startByNumber;
        (c.startByNumber ? choices.startNumber : choices.startMarker) = c.start;
        choices.endByNumber = c.endByNumber;
        choices.endByMarker = !c.endByNumber;
        (c.endByNumber ? choices.endNumber : choices.endMarker) = c.end;
        const std::optional<RangeProblem> problem = rangeProblem(choices, NumberFormat{});
        EXPECT_EQ(problem ? problem->message : "", c.message) << c.name;
        EXPECT_EQ(problem ? problem->conversionFailure.value_or("") : "", c.conversionFailure)
            << c.name;
        choices.rangeOn = false;
        EXPECT_FALSE(rangeProblem(choices, NumberFormat{})) << c.name;
    }
}

TEST(TypedText, InBothEncodingsWithUnicodeCaseFolding) {
    const struct {
        const char* text;
        const char* bytes;
        bool representable;
        const char* utf8;
        std::u32string folded;
    } cases[] = {
        {"aB", "aB", true, "aB", U"ab"},
        {"\xC3\x89t\xC3\xA9", "\xC9t\xE9", true, "\xC3\x89t\xC3\xA9", U"\u00E9t\u00E9"},
        {"\xC9t", "\xC9t", true, "\xC3\x89t", U"\u00E9t"},  // not UTF-8: Windows-1252
        {"\xE2\x82\xAC", "\x80", true, "\xE2\x82\xAC", U"\u20AC"},
        {"\xC4\x8A", "?", false, "\xC4\x8A", U"\u010B"},
        {"\xE1\xBA\x9E", "?", false, "\xE1\xBA\x9E", U"\u00DF"},
        {"\xC5\xA0", "\x8A", true, "\xC5\xA0", U"\u0161"},
    };
    for (const auto& c : cases) {
        const CodePageText text = typedText(c.text);
        EXPECT_EQ(text.bytes, c.bytes) << c.text;
        EXPECT_EQ(text.representable, c.representable) << c.text;
        EXPECT_EQ(text.utf8, c.utf8) << c.text;
        EXPECT_EQ(text.folded, c.folded) << c.text;
    }
}

}  // namespace
}  // namespace culvex
