// The preview's cells against the engine: over the engine's edge cases and random lines,
// for every kind of separator and every form of range, with and without quoted fields, the cells
// the preview marks as kept are exactly the rows an extraction run gives, in order, and a line
// shows a reason exactly when it gives no row.
#include "RecordingSink.h"
#include "engine/FileExtraction.h"
#include "preview/PreviewLines.h"
#include "preview/PreviewSample.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace culvex {
namespace {

class NoProgress final : public ExtractionProgress {
public:
    void pause() override {}
    bool stopped() const override { return false; }
    void overflowed(LineOverflows) override {}
};

std::vector<std::string> engineRows(const std::string& text, const ExtractionChoices& choices) {
    MemorySource source(text);
    LineExtractor extractor(separatorOf(choices), lineSettingsOf(choices));
    testing::RecordingSink sink;
    NoProgress progress;
    extractLines(source, extractor, sink, progress, kPauseEveryBytes, std::size_t{4} << 10);
    return sink.rows;
}

struct PreviewRows {
    std::vector<std::string> rows;
    bool reasonsMatch = true;  // a reason exactly where a line has no kept cell
};

PreviewRows previewRows(const std::string& text, const ExtractionChoices& choices) {
    MemorySource source(text);
    const Sample sample = readSample(source);
    PreviewSplitter splitter(choices);
    std::vector<PreviewLine> cuts;
    std::string records;
    if (choices.quoted) {
        cuts = splitter.splitRecords(sample.text, !sample.moreInFile, records, kSampleLines);
    } else {
        for (const std::string_view line : sample.lines) {
            cuts.push_back(splitter.split(line, sample.bytes));
        }
    }
    PreviewRows out;
    for (const PreviewLine& cut : cuts) {
        bool any = false;
        for (const PreviewCell& cell : cut.cells) {
            if (cell.kept) {
                out.rows.emplace_back(cell.text);
                any = true;
            }
        }
        out.reasonsMatch = out.reasonsMatch && any == (cut.noRow == NoRow::None);
    }
    return out;
}

ExtractionChoices choicesOf(SeparatorChoice separator, std::string typed = {}) {
    ExtractionChoices choices;
    choices.separator = separator;
    choices.typedSeparator = std::move(typed);
    return choices;
}

// The range forms: off, numbers, markers at either end, with numbers out of the line.
std::vector<ExtractionChoices> rangeForms(const ExtractionChoices& base) {
    std::vector<ExtractionChoices> forms{base};
    const auto add = [&](const char* start, bool startMarker, const char* end, bool endMarker) {
        ExtractionChoices c = base;
        c.rangeOn = true;
        c.startByNumber = !startMarker;
        c.startByMarker = startMarker;
        c.endByNumber = !endMarker;
        c.endByMarker = endMarker;
        (startMarker ? c.startMarker : c.startNumber) = start;
        (endMarker ? c.endMarker : c.endNumber) = end;
        forms.push_back(c);
    };
    add("1", false, "1", false);
    add("2", false, "3", false);
    add("0", false, "99", false);
    add("-4", false, "0", false);
    add("b", true, "3", false);
    add("2", false, "z", true);
    add("\xC3\xA9", true, "B", true);  // a marker outside ASCII, "é"
    add("q", true, "q", true);
    return forms;
}

std::vector<ExtractionChoices> allChoices() {
    const ExtractionChoices separators[] = {
        choicesOf(SeparatorChoice::Space),       choicesOf(SeparatorChoice::CommaSpace),
        choicesOf(SeparatorChoice::Comma),       choicesOf(SeparatorChoice::Tab),
        choicesOf(SeparatorChoice::Typed, ";"),  choicesOf(SeparatorChoice::Typed, ""),
        choicesOf(SeparatorChoice::Typed, "aa"), choicesOf(SeparatorChoice::Typed, "\xC3\xA9"),
        choicesOf(SeparatorChoice::None),
    };
    std::vector<ExtractionChoices> all;
    for (const ExtractionChoices& separator : separators) {
        for (const TextEncoding encoding : kEncodings) {
            ExtractionChoices withEncoding = separator;
            withEncoding.encoding = encoding;
            for (ExtractionChoices form : rangeForms(withEncoding)) {
                all.push_back(form);
                form.quoted = true;
                all.push_back(form);
            }
        }
    }
    return all;
}

std::string describe(const ExtractionChoices& c) {
    return "separator " + std::to_string(static_cast<int>(c.separator)) + " \"" + c.typedSeparator +
           "\" encoding " + std::string(encodingName(c.encoding)) +
           (c.rangeOn ? " range " + c.startNumber + c.startMarker + ".." + c.endNumber + c.endMarker
                      : " every column") +
           (c.quoted ? " quoted" : "");
}

void expectSameRows(const std::string& text) {
    for (const ExtractionChoices& choices : allChoices()) {
        const PreviewRows preview = previewRows(text, choices);
        ASSERT_EQ(preview.rows, engineRows(text, choices)) << describe(choices) << "\n" << text;
        ASSERT_TRUE(preview.reasonsMatch) << describe(choices) << "\n" << text;
    }
}

TEST(PreviewLines, KeepWhatTheEngineExtractsFromItsEdgeCases) {
    expectSameRows(
        "a,b,c\nabcdefghijklmnop,q r,  s  ,\nabc\n\na,,b\n  x  ,y\na,   \n\tx ,y\n"
        "a,b, c\n\"a,b\",c\na  b\nxaaay\naxbXc\n  a,b  \np,q,r\nx,aBc,d\nabc,d\n"
        "x,\xE9T\x9A!,y\naz,bz,c,dz,e\na,b,c\r\nb, c, d\r\ncaf\xC3\xA9;\xC3\xA9t\xC3\xA9;B\n"
        "\xEF\xBB\xBFhead\tb\tq\n;;;\n   \n");
    expectSameRows(
        "a,\"b,c\",d\n \"x\"\"y\" ,z\n\"multi\nline, q\",e\r\n\"\",\"\"\n\"ab\"cd,e\n"
        "\"a\tb\"\tc\n\"q;b\";\"\xC3\xA9\";z\n\"no separator\"\n\"open,a\nb,c\n");
}

TEST(PreviewLines, KeepWhatTheEngineExtractsFromLinesOfTooManyColumns) {
    std::string text;
    for (int i = 0; i < 40000; ++i) {
        text += i == 2 ? "b, " : "a;";
    }
    expectSameRows(text + "\n" + text);
}

TEST(PreviewLines, KeepWhatTheEngineExtractsFromRandomLines) {
    const std::string pieces[] = {"a",  "b",  "B",  "q",  "z",  ",",        ", ",
                                  " ",  "  ", "\t", ";",  "aa", "\xC3\xA9", "\xE9",
                                  "\r", "\n", "\n", "\n", "\"", "\"",       "\"\""};
    std::mt19937 random(25);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 200);
    for (int text = 0; text < 10; ++text) {
        std::string bytes;
        for (int i = length(random); i > 0; --i) {
            bytes += pieces[piece(random)];
        }
        expectSameRows(bytes);
    }
}

}  // namespace
}  // namespace culvex
