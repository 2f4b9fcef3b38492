// Whole texts through extractLines, compared with a plain line-by-line model of the rules
// written here: lines end at LF or CR LF, columns lie between exact non-overlapping
// separator matches, empty columns yield nothing, outer spaces are trimmed, a line with
// more than 32,767 columns overflows, and a pause follows each line that reaches the next
// multiple of the pause interval. Runs on worker threads must give exactly what one
// thread gives. With quoted fields, a second model reads the text character by character.
#include "HookedFile.h"
#include "RecordingSink.h"
#include "TempFolder.h"
#include "engine/FileExtraction.h"
#include "engine/ResultsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {
namespace {

// What a run leaves behind: the rows, and after each of them the events, in order.
struct Outcome {
    std::vector<std::string> rows;
    std::vector<std::string> events;  // "pause@rows" and "overflow<kind>@rows"
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
    for (const std::string& row : outcome.rows) {
        *out << '[' << row << ']';
    }
    for (const std::string& event : outcome.events) {
        *out << ' ' << event;
    }
}

// The rows and, between them, the engine's pauses and overflow reports.
class ProgressSink : public testing::RecordingSink, public ExtractionProgress {
public:
    std::vector<std::string> events;  // "pause@rows" and "overflow<kind>@rows"
    int stopAfterPauses = -1;         // stops at that pause; never when negative
    void pause() override { event("pause"); }
    bool stopped() const override { return static_cast<int>(events.size()) == stopAfterPauses; }
    void overflowed(LineOverflows line) override {
        event("overflow" + std::to_string(static_cast<int>(line.bits())));
    }
    void quoteLeftOpen() override { event("open"); }
    void event(const std::string& what) {
        events.push_back(what + "@" + std::to_string(rows.size()));
    }
};

// Writes each row and `kEnd`, as a sink that writes rows as bytes lets the workers do; a
// LF lets the cut write the rows itself.
template <char kEnd>
class Terminated final : public RowFormat {
public:
    void write(std::span<const RowSpan> rows, std::string_view source,
               RowBytes& out) const override {
        for (const RowSpan row : rows) {
            const std::size_t n = row.end - row.begin;
            char* const at = out.room(n + 1);
            std::memcpy(at, source.data() + row.begin, n);
            at[n] = kEnd;
            out.added(n + 1);
        }
    }
    bool rowThenLineFeed() const override { return kEnd == '\n'; }
};

// The same, taking the rows back from the bytes written.
template <char kEnd = '\0'>
class WrittenSink final : public ProgressSink {
public:
    const RowFormat* rowFormat() const override { return &format_; }
    void appendWritten(std::string_view bytes, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t end = bytes.find(kEnd);
            rows.emplace_back(bytes.substr(0, end));
            bytes.remove_prefix(end + 1);
        }
        EXPECT_TRUE(bytes.empty());
    }

private:
    Terminated<kEnd> format_;
};

// The same, keeping the rows in a results store that takes the workers' pages whole.
class PagedSink final : public ProgressSink {
public:
    void append(std::string_view row) override {
        store_.append(row);
        rows.emplace_back(row);
    }
    bool takesPages() const override { return true; }
    void appendPage(RowPage& page) override {
        const std::size_t before = store_.size();
        store_.appendPage(page, page.size());
        store_.forEachRow(before, store_.size(),
                          [this](std::string_view row) { rows.emplace_back(row); });
    }

private:
    ResultsStore store_;
};

template <class Sink = ProgressSink>
Outcome runEngine(ByteSource& source, const std::string& separator, const LineSettings& settings,
                  std::size_t pauseEvery, std::size_t blockBytes, ExtractionThreads threads) {
    LineExtractor extractor(Separator(separator), settings);
    Sink sink;
    extractLines(source, extractor, sink, sink, pauseEvery, blockBytes, threads);
    return {sink.rows, sink.events};
}

template <class Sink = ProgressSink>
Outcome runEngine(const std::string& text, const std::string& separator,
                  const LineSettings& settings, std::size_t pauseEvery, std::size_t blockBytes,
                  ExtractionThreads threads = {1}) {
    MemorySource source(text);
    return runEngine<Sink>(source, separator, settings, pauseEvery, blockBytes, threads);
}

std::vector<std::string> modelLines(const std::string& text, std::vector<std::size_t>& ends) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t lf = text.find('\n', begin);
        const std::size_t stop = lf == std::string::npos ? text.size() : lf;
        std::string line = text.substr(begin, stop - begin);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        begin = lf == std::string::npos ? text.size() : lf + 1;
        ends.push_back(begin);
    }
    if (text.empty()) {
        lines.emplace_back();
        ends.push_back(0);
    }
    return lines;
}

std::vector<std::string> modelColumns(const std::string& line, const std::string& separator) {
    if (separator.empty()) {
        return line.empty() ? std::vector<std::string>{} : std::vector<std::string>{line};
    }
    std::vector<std::string> columns;
    std::size_t begin = 0;
    for (std::size_t at; (at = line.find(separator, begin)) != std::string::npos;) {
        columns.push_back(line.substr(begin, at - begin));
        begin = at + separator.size();
    }
    if (columns.empty()) {
        return {};
    }
    columns.push_back(line.substr(begin));
    return columns;
}

std::string modelTrim(const std::string& column) {
    const std::size_t first = column.find_first_not_of(' ');
    return first == std::string::npos
               ? ""
               : column.substr(first, column.find_last_not_of(' ') + 1 - first);
}

// Every column, or columns `first` to `last` (0-based, small and in range of the index).
Outcome runModel(const std::string& text, const std::string& separator, bool byRange, int first,
                 int last, std::size_t pauseEvery) {
    Outcome outcome;
    const auto event = [&](const std::string& what) {
        outcome.events.push_back(what + "@" + std::to_string(outcome.rows.size()));
    };
    std::vector<std::size_t> ends;
    const std::vector<std::string> lines = modelLines(text, ends);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const std::vector<std::string> columns = modelColumns(lines[l], separator);
        if (!byRange && columns.size() > 32767) {
            event("overflow" + std::to_string(static_cast<int>(IndexOverflow::LastColumn)));
        } else {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int index = static_cast<int>(c);
                if ((!byRange || (index >= first && index <= last)) && !columns[c].empty()) {
                    outcome.rows.push_back(modelTrim(columns[c]));
                }
            }
        }
        const std::size_t begin = l == 0 ? 0 : ends[l - 1];
        if (ends[l] / pauseEvery > begin / pauseEvery) {
            event("pause");
        }
    }
    return outcome;
}

LineSettings columnsByNumber(int first, int last) {
    LineSettings settings;
    settings.byRange = true;
    settings.startByNumber = true;
    settings.endByNumber = true;
    settings.startIndex = {static_cast<std::int16_t>(first), false};
    settings.endIndex = {static_cast<std::int16_t>(last), false};
    return settings;
}

// The ways of comparing bytes this processor runs, the byte-by-byte reference first.
std::vector<ScanLevel> scanLevels() {
    std::vector<ScanLevel> levels;
    for (const ScanLevel level :
         {ScanLevel::Bytes, ScanLevel::Sse2, ScanLevel::Avx2, ScanLevel::Avx512}) {
        if (level <= bestScanLevel()) {
            levels.push_back(level);
        }
    }
    return levels;
}

// Makes the extractors made while it lives compare bytes at one level.
class ForcedScanLevel {
public:
    explicit ForcedScanLevel(ScanLevel level) { forceScanLevel(level); }
    ~ForcedScanLevel() { forceScanLevel(bestScanLevel()); }
    ForcedScanLevel(const ForcedScanLevel&) = delete;
    ForcedScanLevel& operator=(const ForcedScanLevel&) = delete;
};

// One thread at each level, and workers from the middle on at the best level.
struct RunChoice {
    ScanLevel level;
    ExtractionThreads threads;
};
std::vector<RunChoice> runChoices(const std::string& text) {
    std::vector<RunChoice> choices;
    for (const ScanLevel level : scanLevels()) {
        choices.push_back({level, {1, 0}});
    }
    choices.push_back({bestScanLevel(), {3, text.size() / 2}});
    return choices;
}

std::string runName(RunChoice run) {
    return ", level " + std::to_string(static_cast<int>(run.level)) + ", " +
           std::to_string(run.threads.count) + " threads from byte " +
           std::to_string(run.threads.fromBytes);
}

// Columns from the second to each line's last, empty ones kept, and the line-end marks
// (which arrive as empty rows): compared with the byte-by-byte reference.
LineSettings markedLines() {
    LineSettings settings = columnsByNumber(1, 0);
    settings.endAtLastColumn = true;
    settings.keepEmptyColumns = true;
    settings.markLineEnds = true;
    return settings;
}

void expectSameAsModel(const std::string& text, const std::string& separator,
                       std::size_t pauseEvery, std::size_t blockBytes, const std::string& what) {
    LineSettings keptEmpties;
    keptEmpties.keepEmptyColumns = true;
    const auto [marked, kept] = [&] {
        const ForcedScanLevel level(ScanLevel::Bytes);
        return std::pair{runEngine(text, separator, markedLines(), pauseEvery, blockBytes),
                         runEngine(text, separator, keptEmpties, pauseEvery, blockBytes)};
    }();
    for (const RunChoice run : runChoices(text)) {
        const ForcedScanLevel level(run.level);
        EXPECT_EQ(runEngine(text, separator, markedLines(), pauseEvery, blockBytes, run.threads),
                  marked)
            << what << runName(run) << ", marked lines, separator \"" << separator << '"';
        EXPECT_EQ(runEngine(text, separator, keptEmpties, pauseEvery, blockBytes, run.threads),
                  kept)
            << what << runName(run) << ", empty columns kept, separator \"" << separator << '"';
        // Rows written as lines, which the cut may write itself.
        EXPECT_EQ(runEngine<WrittenSink<'\n'>>(text, separator, keptEmpties, pauseEvery, blockBytes,
                                               run.threads),
                  kept)
            << what << runName(run) << ", written lines, separator \"" << separator << '"';
        EXPECT_EQ(runEngine<WrittenSink<'\n'>>(text, separator, LineSettings{}, pauseEvery,
                                               blockBytes, run.threads),
                  runModel(text, separator, false, 0, 0, pauseEvery))
            << what << runName(run) << ", written lines without empties, separator \"" << separator
            << '"';
        EXPECT_EQ(runEngine(text, separator, LineSettings{}, pauseEvery, blockBytes, run.threads),
                  runModel(text, separator, false, 0, 0, pauseEvery))
            << what << runName(run) << ", every column, separator \"" << separator << '"';
        EXPECT_EQ(
            runEngine<PagedSink>(text, separator, keptEmpties, pauseEvery, blockBytes, run.threads),
            kept)
            << what << runName(run) << ", rows in pages, separator \"" << separator << '"';
        for (const auto& [first, last] : {std::pair{1, 2}, std::pair{0, 0}, std::pair{3, 40}}) {
            EXPECT_EQ(runEngine(text, separator, columnsByNumber(first, last), pauseEvery,
                                blockBytes, run.threads),
                      runModel(text, separator, true, first, last, pauseEvery))
                << what << runName(run) << ", columns " << first << " to " << last
                << ", separator \"" << separator << '"';
        }
    }
}

const std::string kSeparators[] = {",", " ", "\t", "\r", "\xE9", ", ", "ab", " | ", "aba", ""};

TEST(ExtractionDifferential, TextsAgreeWithTheModel) {
    const std::string wide(32767, ',');
    const std::string texts[] = {
        "",
        "\n",
        "\r\n",
        "a,b,c",
        "a,b,c\n",
        "a,b\r\nc,d\r\n",
        "a,b\rc,d\r\r\n",
        " , ,  ,\n,,,\n   \n",
        "x, y ,z\r\n\r\nq\n",
        "0123456789abcdef,0123456789abcdef,0123456789abcdef0123456789abcdef,\n",
        "\x80\xFF,\xE9 ab \xE9, ab,\r\n",
        wide + "x\n" + "a,b\n",
        wide.substr(1) + "x\na,b",
        std::string(40000, 'y') + ",z\n",
        std::string(40000, ' ') + "\n,",
    };
    for (const std::string& text : texts) {
        for (const std::string& separator : kSeparators) {
            for (const std::size_t blockBytes : {kBlockBytes, std::size_t{1}, std::size_t{70}}) {
                expectSameAsModel(text, separator, kPauseEveryBytes, blockBytes,
                                  "block " + std::to_string(blockBytes));
            }
        }
    }
}

// Separators and line ends at every place of the 16-, 32- and 64-byte blocks that bytes are
// compared in, and of the blocks the file is read in.
TEST(ExtractionDifferential, SeparatorsAtEveryVectorBoundaryAgreeWithTheModel) {
    for (const std::string& separator : kSeparators) {
        std::string text;
        for (std::size_t width = 0; width < 140; ++width) {
            text += std::string(width, 'a') + separator + std::string(width % 5, ' ') + "b" +
                    separator + (width % 3 == 0 ? "\r\n" : "\n");
        }
        for (const std::size_t blockBytes : {kBlockBytes, std::size_t{97}}) {
            expectSameAsModel(text, separator, kPauseEveryBytes, blockBytes,
                              "block " + std::to_string(blockBytes));
        }
    }
}

std::string randomText(std::mt19937& random, std::size_t lines) {
    static const std::string pieces[] = {",",    ",",    ",",  " ",  "  ", "\t",
                                         "\r",   "\r\n", "\n", "a",  "bc", "\xE9",
                                         "\x80", "\xFF", ", ", "ab", " | "};
    std::string text;
    for (std::size_t l = 0; l < lines; ++l) {
        const std::size_t length =
            random() % 50 == 0 ? 100 + random() % 3000 : static_cast<std::size_t>(random() % 40);
        for (std::size_t p = 0; p < length; ++p) {
            text += pieces[random() % std::size(pieces)];
        }
        text += random() % 3 == 0 ? "\r\n" : "\n";
    }
    if (random() % 2 == 0) {
        text.pop_back();
    }
    return text;
}

TEST(ExtractionDifferential, SeededRandomTextsAgreeWithTheModel) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        const std::string text = randomText(random, 100);
        const std::size_t pauseEvery = 1 + random() % 2000;
        // Small blocks cut lines, CR LF pairs and 64-byte separator searches at their edges.
        const std::size_t blockBytes = 1 + random() % 300;
        for (const std::string& separator : kSeparators) {
            expectSameAsModel(text, separator, pauseEvery, blockBytes,
                              "round " + std::to_string(round));
        }
    }
}

TEST(ExtractionDifferential, WorkersAgreeWithOneThreadAtEveryBlockEdge) {
    // CR LF pairs and empty lines where reads cut, a line longer than a block, an
    // overflowing line, and pauses that fall inside blocks.
    const std::string text = "a,b\r\n\r\n" + std::string(150, 'x') + ",y\r\n\n  c , d \r\n" +
                             std::string(32767, ',') + "z\r\ne,,f\r\n\r\ng";
    // Blocks above the record limit are extracted on the calling thread at their turn.
    for (std::size_t blockBytes = 1; blockBytes <= 80; ++blockBytes) {
        const Outcome alone = runEngine(text, ",", LineSettings{}, 7, blockBytes);
        for (const std::uint64_t fromBytes : {0, 8, 170}) {
            for (const std::size_t recordBytes : {ExtractionThreads{}.recordBytes, 100ul}) {
                EXPECT_EQ(runEngine(text, ",", LineSettings{}, 7, blockBytes,
                                    {2, fromBytes, recordBytes}),
                          alone)
                    << "block " << blockBytes << ", workers from byte " << fromBytes
                    << ", records up to " << recordBytes;
                EXPECT_EQ(runEngine<PagedSink>(text, ",", LineSettings{}, 7, blockBytes,
                                               {2, fromBytes, recordBytes}),
                          alone)
                    << "block " << blockBytes << ", workers from byte " << fromBytes
                    << ", records up to " << recordBytes << ", rows in pages";
            }
        }
    }
}

// Rows that the workers write as bytes reach the sink as one thread hands them on, with the
// pauses and overflow reports between them where they were.
TEST(ExtractionDifferential, RowsTheWorkersWriteAgreeWithOneThread) {
    std::mt19937 random(5);
    const std::string text =
        randomText(random, 200) + "\n" + std::string(32767, ',') + "z\n" + randomText(random, 200);
    for (const bool quoted : {false, true}) {
        LineSettings settings;
        settings.quoted = quoted;
        for (const std::size_t blockBytes : {std::size_t{1}, std::size_t{64}, std::size_t{500}}) {
            const Outcome alone = runEngine(text, ",", settings, 100, blockBytes);
            MemorySource source(text);
            EXPECT_EQ(runEngine<WrittenSink<>>(source, ",", settings, 100, blockBytes, {2, 0}),
                      alone)
                << "block " << blockBytes << (quoted ? ", quoted" : "");
            EXPECT_EQ(runEngine<PagedSink>(text, ",", settings, 100, blockBytes, {2, 0}), alone)
                << "block " << blockBytes << (quoted ? ", quoted" : "") << ", rows in pages";
        }
    }
}

TEST(ExtractionDifferential, AFileCutShorterWhileWorkersRunGivesWhatOneThreadGives) {
    std::mt19937 random(17);
    const std::string text = randomText(random, 400);
    testing::TempFolder folder;
    for (const int cutBeforeRead : {2, 7, 30}) {
        for (const std::uintmax_t cutTo : {std::size_t{0}, text.size() / 3, text.size() - 1}) {
            Outcome outcomes[2];
            for (const unsigned threads : {1u, 2u}) {
                const std::string path = folder.write("f.csv", text);
                testing::HookedFile file(path, [&](int read) {
                    if (read == cutBeforeRead) {
                        std::filesystem::resize_file(path, cutTo);
                    }
                });
                outcomes[threads - 1] = runEngine(file, ",", LineSettings{}, 100, 64, {threads, 0});
            }
            EXPECT_EQ(outcomes[1], outcomes[0])
                << "cut to " << cutTo << " before read " << cutBeforeRead;
        }
    }
}

// Quoted fields, every column: after leading spaces a `"` opens a value that runs to the
// next lone `"` within `bound` bytes, `""` in it is `"`; the text after it up to the
// separator is added without its trailing spaces. An unclosed quote leaves the rest of its
// line plain. A record ends at a LF outside quotes, a CR before it dropped.
// With `last` set, only columns `first` to `last` (0-based) yield rows.
Outcome runQuotedModel(std::string_view t, const std::string& sep, std::size_t bound,
                       std::size_t pauseEvery, std::size_t first = 0,
                       std::size_t last = std::string_view::npos) {
    Outcome outcome;
    const auto event = [&](const std::string& what) {
        outcome.events.push_back(what + "@" + std::to_string(outcome.rows.size()));
    };
    const auto lineEnd = [&](std::size_t from) { return std::min(t.find('\n', from), t.size()); };
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t recordStart = pos;
        std::vector<std::pair<std::string, bool>> columns;  // the row, and whether it is added
        bool sawSeparator = false;
        bool leftOpen = false;
        std::size_t plainUntil = 0;
        for (;;) {
            std::size_t p = pos;
            while (p < t.size() && t[p] == ' ') {
                ++p;
            }
            std::string value;
            bool quoted = false;
            std::size_t i = p + 1;
            if (p >= plainUntil && p < t.size() && t[p] == '"') {
                for (; i < t.size() && i - p - 1 < bound; value += t[i++]) {
                    if (t[i] == '"' && !(i + 1 < t.size() && t[i + 1] == '"')) {
                        quoted = true;
                        break;
                    }
                    i += t[i] == '"' ? 1 : 0;
                }
                leftOpen = leftOpen || !quoted;
                plainUntil = quoted ? plainUntil : lineEnd(p) + 1;
            }
            const std::size_t from = quoted ? i + 1 : pos;
            const std::size_t end = lineEnd(from);
            const std::size_t stop =
                end < t.size() && end > from && t[end - 1] == '\r' ? end - 1 : end;
            const std::size_t at =
                sep.empty() ? std::string_view::npos : t.substr(0, stop).find(sep, from);
            std::string rest(t.substr(from, std::min(at, stop) - from));
            if (quoted) {
                rest.erase(rest.find_last_not_of(' ') + 1);
            }
            // A plain column is tested for emptiness before it is trimmed.
            if (quoted) {
                columns.emplace_back(value + rest, !(value + rest).empty());
            } else {
                columns.emplace_back(modelTrim(rest), !rest.empty());
            }
            if (at == std::string_view::npos) {
                const bool passes = sep.empty() ? stop > recordStart : sawSeparator;
                for (std::size_t c = first; passes && c < columns.size() && c <= last; ++c) {
                    if (columns[c].second) {
                        outcome.rows.push_back(columns[c].first);
                    }
                }
                pos = std::min(end + 1, t.size());
                break;
            }
            sawSeparator = true;
            pos = at + sep.size();
        }
        if (leftOpen) {
            event("open");
        }
        if (pos / pauseEvery > recordStart / pauseEvery) {
            event("pause");
        }
    }
    return outcome;
}

LineSettings quotedSettings(std::size_t bound, bool columns2to3 = false) {
    LineSettings settings = columns2to3 ? columnsByNumber(1, 2) : LineSettings{};
    settings.quoted = true;
    settings.quoteBound = bound;
    return settings;
}

void expectQuotedAsModel(const std::string& text, const std::string& separator, std::size_t bound,
                         std::size_t pauseEvery) {
    const Outcome models[] = {runQuotedModel(text, separator, bound, pauseEvery),
                              runQuotedModel(text, separator, bound, pauseEvery, 1, 2)};
    for (const RunChoice run : runChoices(text)) {
        const ForcedScanLevel level(run.level);
        for (const std::size_t blockBytes : {kBlockBytes, std::size_t{1}, std::size_t{23}}) {
            for (const bool range : {false, true}) {
                EXPECT_EQ(runEngine(text, separator, quotedSettings(bound, range), pauseEvery,
                                    blockBytes, run.threads),
                          models[range ? 1 : 0])
                    << '"' << text << "\" separator \"" << separator << "\" block " << blockBytes
                    << (range ? " columns 2 to 3" : "") << runName(run);
            }
        }
    }
}

TEST(QuotedFields, CasesAgreeWithTheModelAndTheirRows) {
    const struct {
        std::string text;
        std::vector<std::string> rows;
        std::size_t bound = kQuoteBoundBytes;
    } cases[] = {
        {"a,\"b,c\",d\n", {"a", "b,c", "d"}},
        {"\"x\"\"y\",\"\"\"\"\n", {"x\"y", "\""}},
        {"1,\"two\nlines\",3\n4,5\n", {"1", "two\nlines", "3", "4", "5"}},
        {"1,\"cr\r\nlf\",3\r\n4,\"\r\"\r\n", {"1", "cr\r\nlf", "3", "4", "\r"}},
        {"a,  \"b, c\"  ,d", {"a", "b, c", "d"}},
        {"\"ab\"cd ,\" e \" f\"g ,h", {"abcd", " e  f\"g", "h"}},
        {"\"\",a,  \"\" ,\"\"\n", {"a"}},
        {"a\"b,c\"", {"a\"b", "c\""}},
        {"\"a,b\"\nc,d\n", {"c", "d"}},
        {"a,\"open,b\nc,d\n", {"a", "\"open", "b", "c", "d"}},
        {"a,\"open,\"b\"\n\"c\",d", {"a", "\"open", "\"b\"", "c", "d"}, 3},
        {"a,\"1234567\",b\n", {"a", "1234567", "b"}, 8},
        {"a,\"12345678\",b\nc,\"x\ny\"", {"a", "\"12345678\"", "b", "c", "x\ny"}, 8},
        {"a,\"1234\n678\n,b\nc,d", {"a", "\"1234", "b", "c", "d"}, 8},
        {"a,b,c,d,\"" + std::string(70, 'x') + "\n\",e\nf,g,h\n",
         {"a", "b", "c", "d", "\"" + std::string(70, 'x'), "\"", "e", "f", "g", "h"},
         64},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runQuotedModel(c.text, ",", c.bound, kPauseEveryBytes).rows, c.rows) << c.text;
        for (const std::string& separator : kSeparators) {
            expectQuotedAsModel(c.text, separator, c.bound, 7);
        }
    }
}

TEST(QuotedFields, SeededRandomTextsAgreeWithTheModel) {
    static const std::string pieces[] = {",",  ",", "\"", "\"", "\"\"", " ",  "\r\n",
                                         "\n", "a", "bc", "\r", " | ",  "ab", ", "};
    std::mt19937 random(28);
    for (int round = 0; round < 30; ++round) {
        std::string text;
        for (std::size_t p = random() % 600; p > 0; --p) {
            text += pieces[random() % std::size(pieces)];
        }
        for (const std::string& separator : {std::string(","), std::string(", "), std::string()}) {
            const std::size_t pauseEvery = 1 + random() % 200;
            for (const std::size_t bound : {1 + random() % 40, kQuoteBoundBytes}) {
                expectQuotedAsModel(text, separator, bound, pauseEvery);
            }
        }
    }
}

// Quoted records that blocks cut anywhere, quotes left open at a bound shorter and longer
// than 64 bytes, and pauses inside blocks: the workers give what one thread gives.
TEST(QuotedFields, WorkersAgreeWithOneThreadAtEveryBlockEdge) {
    const std::string text = "a,\"b\r\n,c\"\"\",d\r\n\"" + std::string(90, 'x') +
                             "\",y\n\"open,p\nq,\"r\"\" s\",t\r\n\n,\"\"\n\"" +
                             std::string(70, 'z') + "\n\",x\n\"y\",z\nu,\"v";
    for (const bool range : {false, true}) {
        for (std::size_t blockBytes = 1; blockBytes <= 80; ++blockBytes) {
            const LineSettings settings = quotedSettings(blockBytes % 2 == 0 ? 40 : 70, range);
            const Outcome alone = runEngine(text, ",", settings, 7, blockBytes);
            for (const std::uint64_t fromBytes : {0, 8, 100}) {
                for (const std::size_t recordBytes : {ExtractionThreads{}.recordBytes, 60ul}) {
                    EXPECT_EQ(
                        runEngine(text, ",", settings, 7, blockBytes, {2, fromBytes, recordBytes}),
                        alone)
                        << "block " << blockBytes << ", workers from byte " << fromBytes
                        << ", records up to " << recordBytes << (range ? ", columns 2 to 3" : "");
                }
            }
        }
    }
}

// Markers, the range and kept empty columns see the columns as quoted splitting cuts them.
TEST(QuotedFields, MarkersAndRangesSeeTheQuotedColumns) {
    LineSettings markers = quotedSettings(kQuoteBoundBytes);
    markers.byRange = true;
    markers.startByMarker = true;
    markers.endByMarker = true;
    markers.startMarker = {"x", true, "x", {U'x'}};
    markers.endMarker = {"z", true, "z", {U'z'}};
    LineSettings range = columnsByNumber(1, 2);
    range.quoted = true;
    range.keepEmptyColumns = true;
    const struct {
        LineSettings settings;
        std::string text;
        std::vector<std::string> rows;
    } cases[] = {
        {markers, "\"q,x\",\"xa\",b,\"z,q\",\"cz\",d\n", {"xa", "b", "z,q", "cz"}},
        {markers, "\"x\nz\",q\n", {"x\nz"}},
        {range, "\"a,b\",\"\",c,d\n", {"", "c"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runEngine(c.text, ",", c.settings, kPauseEveryBytes, kBlockBytes).rows, c.rows)
            << c.text;
    }
    // A record of more columns than the index holds overflows, as a line does.
    const Outcome wide = runEngine(std::string(32767, ',') + "\"a,\nb\"\nc,d", ",",
                                   quotedSettings(kQuoteBoundBytes), kPauseEveryBytes, kBlockBytes);
    EXPECT_EQ(wide, (Outcome{{"c", "d"}, {"overflow16@0"}}));
}

TEST(ExtractLines, RowsBeforeAFailedReadStayAndTheFailureTravelsOn) {
    // Gives the text a few bytes per read, then fails.
    class FailingSource final : public ByteSource {
    public:
        FailingSource(std::string_view text, int reads) : text_(text), reads_(reads) {}
        std::size_t read(char* into, std::size_t count) override {
            if (reads_-- == 0) {
                throw std::runtime_error("Cannot read f.csv: Input/output error");
            }
            return text_.read(into, count);
        }

    private:
        MemorySource text_;
        int reads_;
    };
    const struct {
        std::size_t blockBytes;
        int reads;
        ExtractionThreads threads;
        std::vector<std::string> rows;
    } cases[] = {
        {kBlockBytes, 1, {1, 0}, {"a", "b", "c", "d", "e", "f"}},
        {kBlockBytes, 1, {2, 0}, {"a", "b", "c", "d", "e", "f"}},
        {4, 2, {1, 0}, {"a", "b", "c", "d"}},
        {4, 2, {2, 0}, {"a", "b", "c", "d"}},
        {4, 3, {3, 5}, {"a", "b", "c", "d", "e", "f"}},
    };
    for (const auto& c : cases) {
        FailingSource source("a,b\nc,d\ne,f\ng,", c.reads);
        LineExtractor extractor(Separator(","), LineSettings{});
        ProgressSink sink;
        EXPECT_THROW(
            extractLines(source, extractor, sink, sink, kPauseEveryBytes, c.blockBytes, c.threads),
            std::runtime_error);
        EXPECT_EQ(sink.rows, c.rows) << c.threads.count << " threads, " << c.reads << " reads";
    }
}

TEST(ExtractLines, APauseThatEndsTheRunLeavesTheRowsBeforeItAndNoWorkerBehind) {
    // As when the window closes at a yield: the run ends there, while the workers are
    // still ahead of it; under the address sanitizer nothing they use may be gone.
    class EndingSink final : public testing::RecordingSink, public ExtractionProgress {
    public:
        void pause() override {
            if (++pauses == 3) {
                throw std::runtime_error("ended");
            }
        }
        void overflowed(LineOverflows) override {}
        int pauses = 0;
    };
    std::mt19937 random(3);
    const std::string text = randomText(random, 2000);
    std::vector<std::string> rowsAt[2];
    for (const unsigned threads : {1u, 2u}) {
        MemorySource source(text);
        LineExtractor extractor(Separator(","), LineSettings{});
        EndingSink sink;
        EXPECT_THROW(extractLines(source, extractor, sink, sink, 100, 64, {threads, 0}),
                     std::runtime_error);
        rowsAt[threads - 1] = sink.rows;
    }
    EXPECT_EQ(rowsAt[1], rowsAt[0]);
    EXPECT_FALSE(rowsAt[0].empty());
}

// Lines of four bytes pause after every line; a stop asked for at a pause keeps the rows
// of the lines before it and hands on no further line, on one thread or several.
TEST(ExtractLines, AStopAtAPauseEndsTheExtractionThere) {
    for (const unsigned threads : {1u, 2u}) {
        for (const int stopAt : {1, 2, 3}) {
            LineExtractor extractor(Separator(","), LineSettings{});
            ProgressSink sink;
            sink.stopAfterPauses = stopAt;
            MemorySource source("a,b\na,b\na,b\na,b\na,b\na,b\na,b\n");
            extractLines(source, extractor, sink, sink, 4, 8, {threads, 0});
            EXPECT_EQ(sink.rows.size(), static_cast<std::size_t>(2 * stopAt)) << threads << stopAt;
            EXPECT_EQ(sink.events.size(), static_cast<std::size_t>(stopAt)) << threads << stopAt;
        }
    }
}

// A line longer than a block asks after each block read while its end is to come, and
// after each block's length as it is cut; so does a record with quoted fields while it
// is read and cut: a stop at any of them ends the extraction there, without that line or any
// after it.
TEST(ExtractLines, AStopInsideALongLineEndsTheExtractionThere) {
    class CountingSource final : public ByteSource {
    public:
        explicit CountingSource(std::string_view text) : bytes_(text) {}
        std::size_t read(char* into, std::size_t count) override {
            const std::size_t got = bytes_.read(into, count);
            handed += got;
            return got;
        }
        std::size_t handed = 0;

    private:
        MemorySource bytes_;
    };
    class StoppingSink final : public testing::RecordingSink, public ExtractionProgress {
    public:
        StoppingSink(const CountingSource& source, std::size_t stopPast)
            : source_(source), stopPast_(stopPast) {}
        void pause() override {}
        bool keepReadingLongLine() override { return ++asked < 3 || source_.handed <= stopPast_; }
        // Whether the extraction was told to stop.
        bool stopped() const override { return asked >= 3 && source_.handed > stopPast_; }
        void overflowed(LineOverflows) override {}
        int asked = 0;

    private:
        const CountingSource& source_;
        std::size_t stopPast_;
    };
    const std::string endless = "a,b\n" + std::string(1000, 'x');
    const std::string ended = endless + ",y\nc,d\n";
    const std::string endlessQuoted = "a,b\n\"" + std::string(1000, 'x');
    std::string quotedLines = "a,b\nc,\"";
    for (int i = 0; i < 300; ++i) {
        quotedLines += "x,\"\"\n";
    }
    const struct {
        const char* name;
        std::string text;
        std::size_t stopPast;  // the bytes read before the stop, from the third question on
        bool quoted = false;
    } cases[] = {
        {"while the line is read", endless, 0},
        {"while the line is cut", ended, endless.size()},
        {"while a line is read with quoted fields", endless, 0, true},
        {"while a quoted column's lines are read", quotedLines, 0, true},
        {"while a quoted record is cut", endlessQuoted + "\",y\nc,d\n", endlessQuoted.size(), true},
    };
    for (const auto& c : cases) {
        for (const unsigned threads : {1u, 2u}) {
            CountingSource source(c.text);
            LineSettings settings;
            settings.quoted = c.quoted;
            LineExtractor extractor(Separator(","), settings);
            StoppingSink sink(source, c.stopPast);
            extractLines(source, extractor, sink, sink, 4, 8, {threads, 0});
            EXPECT_TRUE(sink.stopped()) << c.name << threads;
            EXPECT_EQ(sink.rows, (std::vector<std::string>{"a", "b"})) << c.name << threads;
        }
    }
}

}  // namespace
}  // namespace culvex
