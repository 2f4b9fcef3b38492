#include "RecordingSink.h"
#include "engine/LineExtractor.h"
#include "engine/Markers.h"

#include <gtest/gtest.h>
#include <cstdint>

namespace culvex {
namespace {

using Rows = std::vector<std::string>;

using VectorSink = testing::RecordingSink;

LineSettings every() { return {}; }

// The index of a column number, as a typed number gives it.
ColumnIndex column(long number) {
    const long index = number - 1;
    if (index < INT16_MIN || index > INT16_MAX) {
        return {0, true};
    }
    return {static_cast<std::int16_t>(index), false};
}

LineSettings numbers(long start, long end) {
    LineSettings s;
    s.byRange = true;
    s.startByNumber = true;
    s.endByNumber = true;
    s.startIndex = column(start);
    s.endIndex = column(end);
    return s;
}

LineSettings markers(const char* start, const char* end) {
    LineSettings s;
    s.byRange = true;
    s.startByMarker = true;
    s.endByMarker = true;
    s.startMarker = {start, true, start, {}};
    s.endMarker = {end, true, end, {}};
    return s;
}

LineSettings startNumberEndMarker(long start, const char* end) {
    LineSettings s = numbers(start, 1);
    s.endByNumber = false;
    s.endByMarker = true;
    s.endMarker = {end, true, end, {}};
    return s;
}

LineSettings startMarkerEndNumber(const char* start, long end) {
    LineSettings s = numbers(1, end);
    s.startByNumber = false;
    s.startByMarker = true;
    s.startMarker = {start, true, start, {}};
    return s;
}

// The line's rows; the same line cut three bytes at a time must give the same.
Rows extract(const std::string& separator, const LineSettings& settings, std::string_view line) {
    LineExtractor extractor(Separator(separator), settings);
    VectorSink sink;
    RowBatch rows(sink, line);
    EXPECT_FALSE(extractor.extract(line, rows).any()) << line;
    rows.flush();
    VectorSink cutSink;
    RowBatch cutRows(cutSink, line);
    LongLineCut cut(3, [] { return true; });
    EXPECT_FALSE(extractor.extract(line, cutRows, &cut).any()) << line;
    cutRows.flush();
    EXPECT_EQ(cutSink.rows, sink.rows) << "cut in stretches: " << line;
    return sink.rows;
}

TEST(LineExtractor, PicksTheColumnsOfALine) {
    const struct {
        const char* name;
        std::string separator;
        LineSettings settings;
        std::string line;
        Rows rows;
    } cases[] = {
        {"every column", ",", every(), "a,b,c", {"a", "b", "c"}},
        {"long line, separators past the sixteenth byte",
         ",",
         every(),
         "abcdefghijklmnop,q r,  s  ,",
         {"abcdefghijklmnop", "q r", "s"}},
        {"separator as the sixteenth byte",
         ",",
         every(),
         "abcdefghijklmno,p",
         {"abcdefghijklmno", "p"}},
        {"range ending in the last bytes", ",", numbers(2, 2), "0123456789abcdefg,h,i", {"h"}},
        {"no separator, no rows", ",", every(), "abc", {}},
        {"empty line", ",", every(), "", {}},
        {"empty columns count but yield nothing", ",", every(), "a,,b", {"a", "b"}},
        {"empty middle column counts", ",", numbers(3, 3), "a,,b", {"b"}},
        {"outer spaces trimmed", ",", every(), "  x  ,y", {"x", "y"}},
        {"spaces only give an empty row", ",", every(), "a,   ", {"a", ""}},
        {"tabs are not trimmed", ",", every(), "\tx ,y", {"\tx", "y"}},
        {"comma-space needs the space", ", ", every(), "a,b, c", {"a,b", "c"}},
        {"quotes split like text", ",", every(), "\"a,b\",c", {"\"a", "b\"", "c"}},
        {"two spaces make an empty column", " ", numbers(2, 3), "a  b", {"b"}},
        {"separators do not overlap", "aa", every(), "xaaay", {"x", "ay"}},
        {"separator is exact in case", "X", every(), "axbXc", {"axb", "c"}},
        {"empty separator keeps the line", "", every(), "  a,b  ", {"a,b"}},
        {"empty separator skips empty lines", "", every(), "", {}},
        {"first column", ",", numbers(1, 1), "p,q,r", {"p"}},
        {"start 0 acts as 1", ",", numbers(0, 2), "p,q,r", {"p", "q"}},
        {"negative start acts as 1", ",", numbers(-4, 1), "p,q,r", {"p"}},
        {"end beyond the last column", ",", numbers(2, 99), "p,q,r", {"q", "r"}},
        {"end 0 yields nothing", ",", numbers(1, 0), "p,q,r", {}},
        {"start marker any case", ",", startMarkerEndNumber("AB", 9), "x,aBc,d", {"aBc", "d"}},
        {"start marker not in the middle", ",", startMarkerEndNumber("b", 9), "abc,d", {}},
        {"start marker accented case",
         ",",
         startMarkerEndNumber("\xC9t\x8A", 9),
         "x,\xE9T\x9A!,y",
         {"\xE9T\x9A!", "y"}},
        {"start marker Y diaeresis", ",", startMarkerEndNumber("\x9F", 9), "\xFFz", {}},
        {"marker longer than column", ",", startMarkerEndNumber("abcd", 9), "abc,d", {}},
        {"start marker found at 5, end number 3",
         ",",
         startMarkerEndNumber("s", 3),
         "a,b,c,d,s",
         {}},
        {"end marker: last column ending with it",
         ",",
         markers("a", "Z"),
         "az,bz,c,dz,e",
         {"az", "bz", "c", "dz"}},
        {"no end marker: the start column only", ",", markers("b", "q"), "a,b,c", {"b"}},
        {"end marker left of start", ",", markers("c", "a"), "a,b,c", {}},
        {"no end marker and start <= 0", ",", startNumberEndMarker(0, "q"), "a,b,c", {}},
        {"no end marker and start 2", ",", startNumberEndMarker(2, "q"), "a,b,c", {"b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(extract(c.separator, c.settings, c.line), c.rows) << c.name;
    }
}

TEST(LineExtractor, UnrepresentableTextsMatchNothing) {
    LineExtractor noSeparator(Separator("\xE2", false), every());
    VectorSink sink;
    const std::string_view line =
        "a\xE2"
        "b";
    RowBatch rows(sink, line);
    noSeparator.extract(line, rows);
    rows.flush();
    EXPECT_TRUE(sink.rows.empty());

    LineSettings noEnd = markers("a", "?");
    noEnd.endMarker.representable = false;
    EXPECT_EQ(extract(",", noEnd, "a,b?"), Rows{"a"});
}

TEST(LineExtractor, OverflowedLinesYieldNothing) {
    std::string wide(LineExtractor::kMaxColumns, ',');  // 32,768 columns
    std::string fits(LineExtractor::kMaxColumns - 1, ',');
    fits += 'x';
    const struct {
        const char* name;
        LineSettings settings;
        std::string line;
        IndexOverflow overflow;
    } cases[] = {
        {"start number", numbers(32770, 40000), "a,b", IndexOverflow::StartNumber},
        {"end number", numbers(1, 1000000000), "a,b", IndexOverflow::EndNumber},
        {"every column of a wide line", every(), wide + "x", IndexOverflow::LastColumn},
        {"start marker on a wide line", startMarkerEndNumber("x", 2), wide + "x",
         IndexOverflow::StartPastLast},
        {"end marker on a wide line", startNumberEndMarker(1, "x"), wide + "x",
         IndexOverflow::EndScan},
    };
    for (const auto& c : cases) {
        LineExtractor extractor(Separator(","), c.settings);
        VectorSink sink;
        RowBatch rows(sink, c.line);
        const LineOverflows overflows = extractor.extract(c.line, rows);
        rows.flush();
        EXPECT_TRUE(overflows.has(c.overflow)) << c.name;
        EXPECT_TRUE(sink.rows.empty()) << c.name;
    }
    EXPECT_EQ(extract(",", every(), fits).size(), 1u);
    EXPECT_EQ(extract(",", numbers(1, 1), wide + "x"), Rows{});
    EXPECT_EQ(extract(",", numbers(32768, 32768), wide + "x"), Rows{"x"});
}

TEST(LineExtractor, SeparatorsAtBlockEdgesWithAndWithoutBytesAfterTheLine) {
    // The line is looked at in 64-byte blocks that may read on past its end: separators
    // on either side of a block's edge, and bytes after the line that hold separators.
    for (const std::size_t at : {0, 1, 15, 16, 62, 63, 64, 65, 127, 128, 129}) {
        const std::string line = std::string(at, 'x') + ",y";
        Rows expected = {"y"};
        if (at > 0) {
            expected.insert(expected.begin(), std::string(at, 'x'));
        }
        for (const std::size_t after : {0, 1, 63, 64, 200}) {
            const std::string buffer = line + std::string(after, ',');
            const std::string_view view = std::string_view(buffer).substr(0, line.size());
            LineExtractor extractor(Separator(","), every());
            VectorSink sink;
            RowBatch rows(sink, buffer);
            extractor.extract(view, rows);
            rows.flush();
            EXPECT_EQ(sink.rows, expected) << at << ' ' << after;
        }
    }
}

TEST(TrimSpaces, WithinABufferMatchesThePlainTrimAtEveryPlace) {
    const struct {
        std::string column;
        std::string trimmed;
    } cases[] = {
        {"", ""},
        {"a", "a"},
        {"  a ", "a"},
        {"   ", ""},
        {"          ", ""},
        {"         x", "x"},
        {"x         ", "x"},
        {" \tab c\t ", "\tab c\t"},
        {"  two words here   ", "two words here"},
        {std::string(30, 'z') + "  ", std::string(30, 'z')},
    };
    // Each column at the start, in the middle and at the end of a buffer of spaces, so
    // that both the word-wise look and the plain trim near the buffer's edges are met.
    for (const auto& c : cases) {
        for (const std::size_t before : {0, 1, 7, 8, 20}) {
            for (const std::size_t after : {0, 1, 7, 8, 20}) {
                const std::string buffer =
                    std::string(before, ' ') + c.column + std::string(after, ' ');
                const std::string_view column =
                    std::string_view(buffer).substr(before, c.column.size());
                EXPECT_EQ(trimSpaces(column, buffer), c.trimmed)
                    << '"' << c.column << "\" " << before << ' ' << after;
            }
        }
    }
}

TEST(Markers, FoldOnlyLetters) {
    EXPECT_EQ(foldCase('Q'), 'q');
    EXPECT_EQ(foldCase(0xD7), 0xD7);  // multiplication sign
    EXPECT_EQ(foldCase(0xDF), 0xDF);  // sharp s has no capital
    EXPECT_EQ(foldCase(0x8C), 0x9C);
    EXPECT_EQ(foldCase('['), '[');
    EXPECT_TRUE(endsWithMarker("x\xDE", "\xFE"));
    EXPECT_FALSE(beginsWithMarker("", "a"));
    EXPECT_TRUE(beginsWithMarker("abc", ""));
}

}  // namespace
}  // namespace culvex
