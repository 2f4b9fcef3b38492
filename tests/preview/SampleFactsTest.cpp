// The sample the preview reads, what it says about the file, and the separator it
// suggests for labelled kinds of files.
#include "engine/FileReader.h"
#include "preview/FileFacts.h"
#include "preview/PreviewSample.h"
#include "preview/SeparatorSuggestion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace culvex {
namespace {

Sample sampleOf(const std::string& text, std::size_t maxLines = kSampleLines,
                std::size_t maxBytes = kSampleBytes) {
    MemorySource source(text);
    return readSample(source, maxLines, maxBytes);
}

TEST(PreviewSample, TakesWholeLinesUpToEitherLimit) {
    const struct {
        const char* name;
        std::string text;
        std::size_t maxLines;
        std::size_t maxBytes;
        std::vector<std::string> lines;
        bool more;
        bool cut;
    } cases[] = {
        {"empty file", "", 200, 100, {""}, false, false},
        {"last break adds no line", "a\r\nb\r\n", 200, 100, {"a", "b"}, false, false},
        {"line limit", "a\nb\nc\n", 2, 100, {"a", "b"}, true, false},
        {"line limit at the end", "a\nb\n", 2, 100, {"a", "b"}, false, false},
        {"an empty line after the limit", "a\nb\n\n", 2, 100, {"a", "b"}, true, false},
        {"byte limit drops the cut line", "abc\ndefgh\n", 200, 6, {"abc"}, true, false},
        {"byte limit at a break", "abc\nde", 200, 6, {"abc", "de"}, false, false},
        {"one line cut", "abcdefgh", 200, 4, {"abcd"}, true, true},
        {"lone CR stays in the line", "a\rb\n", 200, 100, {"a\rb"}, false, false},
    };
    for (const auto& c : cases) {
        const Sample sample = sampleOf(c.text, c.maxLines, c.maxBytes);
        EXPECT_EQ(std::vector<std::string>(sample.lines.begin(), sample.lines.end()), c.lines)
            << c.name;
        EXPECT_EQ(sample.moreInFile, c.more) << c.name;
        EXPECT_EQ(sample.lineCut, c.cut) << c.name;
    }
}

TEST(FileFacts, TellEncodingMarkAndLineEnds) {
    const struct {
        std::string text;
        std::string facts;
    } cases[] = {
        {"a,b\nc,d\n", "ASCII, no byte-order mark, LF line ends"},
        {"a\r\nb\r\n", "ASCII, no byte-order mark, CR LF line ends"},
        {"a\rb\rc", "ASCII, no byte-order mark, CR line ends"},
        {"a\r\nb\nc", "ASCII, no byte-order mark, mixed line ends"},
        {"one line", "ASCII, no byte-order mark, no line break"},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\n",
         "UTF-8, UTF-8 byte-order mark, LF line ends"},
        {"caf\xE9\nna\xEFve\n", "Windows-1252, no byte-order mark, LF line ends"},
        {"caf\xC3\xA9\ncaf\xE9\n",
         "mixed UTF-8 and Windows-1252, no byte-order mark, LF line ends"},
        {std::string("\xFF\xFE"
                     "a\0\n\0",
                     6),
         "Windows-1252, UTF-16 (little-endian) byte-order mark, LF line ends"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(factsOf(sampleOf(c.text))), c.facts) << c.text;
    }
    // A UTF-8 sequence cut by the byte limit is no sign of another encoding.
    EXPECT_EQ(describe(factsOf(sampleOf("\xC3\xA9\xC3\xA9", 200, 3))),
              "UTF-8, no byte-order mark, no line break");
}

std::string repeated(const std::string& lines, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += lines;
    }
    return text;
}

TEST(SeparatorSuggestion, RanksTheRightSeparatorFirst) {
    const struct {
        const char* label;
        std::string text;
        std::string best;
    } cases[] = {
        {"comma", "name,age,city\n" + repeated("Ann Lee,30,New York\nBo,4,Rome\n", 5),
         "Comma (,): 3 columns on 11 of 11 lines"},
        {"comma-space", repeated("Lee, Ann, 30, New York\nBo, Li, 4, Rome\n", 5),
         "Comma-Space (, ): 4 columns on 10 of 10 lines"},
        {"tab", repeated("Ann Lee\t30\tNew York, NY\nBo\t4\tRome\n", 5),
         "Tab: 3 columns on 10 of 10 lines"},
        {"semicolon with decimal commas", repeated("1,5;2,25;x\n3,0;4,75;y\n", 5),
         "Others (;): 3 columns on 10 of 10 lines"},
        {"pipe", repeated("a | b c | d\ne | f | g h\n", 5),
         "Others (|): 3 columns on 10 of 10 lines"},
        {"space-aligned", "Name  Age\nAnn   30\nBo    4\nCleo  51\n",
         "Space ( ): 3 columns on 2 of 4 lines"},
        {"single column", repeated("alpha\nbeta\ngamma delta\n", 3),
         "Others (nothing): 1 column on 9 of 9 lines"},
        {"mixed: comments among comma lines",
         "# exported: today\n" + repeated("a,b,c\nd,e,f\n", 4) + "x,y\n",
         "Comma (,): 3 columns on 8 of 10 lines"},
    };
    for (const auto& c : cases) {
        const Sample sample = sampleOf(c.text);
        const std::vector<SeparatorFit> fits = rankSeparators(sample.lines);
        ASSERT_EQ(fits.size(), 8U) << c.label;
        EXPECT_EQ(describe(fits.front()), c.best) << c.label;
    }
}

}  // namespace
}  // namespace culvex
