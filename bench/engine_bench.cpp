// The extraction engine from bytes to the results store, on generated CSV text.
#include "EngineBenchSupport.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Ten columns of mixed widths, some with outer spaces, CR LF line ends.
std::string makeCsv(std::size_t bytes) {
    std::mt19937 random(42);
    std::string text;
    text.reserve(bytes + 256);
    static const int widths[] = {3, 12, 7, 1, 25, 5, 9, 2, 15, 6};
    while (text.size() < bytes) {
        for (int column = 0; column < 10; ++column) {
            if (column > 0) {
                text += ',';
            }
            const bool spaced = random() % 4 == 0;
            if (spaced) {
                text += "  ";
            }
            const int width = 1 + static_cast<int>(random() % widths[column]);
            for (int i = 0; i < width; ++i) {
                text += static_cast<char>('a' + random() % 26);
            }
            if (spaced) {
                text += ' ';
            }
        }
        text += "\r\n";
    }
    return text;
}

const std::string& sample() {
    static const std::string text = makeCsv(std::size_t{64} << 20);
    return text;
}

// The same fields cut by " | " instead of ",".
const std::string& sampleWithBars() {
    static const std::string text = [] {
        std::string csv;
        for (const char c : sample()) {
            csv += c == ',' ? std::string_view(" | ") : std::string_view(&c, 1);
        }
        return csv;
    }();
    return text;
}

// One job on a number of threads (0: one per core), comparing bytes at one level.
void runJob(benchmark::State& state, const char* job, const char* separator, unsigned threads,
            culvex::ScanLevel level) {
    const std::string& text = std::string_view(separator) == "," ? sample() : sampleWithBars();
    culvex::forceScanLevel(level);
    for (auto _ : state) {
        culvex::ResultsStore store;
        culvex::MemorySource source(text);
        culvex::bench::runJob(source, job, store, threads, separator);
        benchmark::DoNotOptimize(store.size());
    }
    culvex::forceScanLevel(culvex::bestScanLevel());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The same text with "é" (UTF-8) starting one column of every eighth line: mostly ASCII,
// as most UTF-8 files are.
const std::string& mostlyAscii() {
    static const std::string text = [] {
        std::string csv = sample();
        std::size_t line = 0;
        for (std::size_t at = csv.find('\n'); at != std::string::npos && at + 3 < csv.size();
             at = csv.find('\n', at + 1)) {
            if (++line % 8 == 0 && csv[at + 1] != ' ' && csv[at + 2] != ',') {
                csv.replace(at + 1, 2, "\xC3\xA9");
            }
        }
        return csv;
    }();
    return text;
}

// Folds the Latin-1 capitals, which is all the marker below needs.
char32_t foldLatin(char32_t c) { return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 0x20 : c; }

// Columns from a start marker to an end marker: ASCII markers, or "É" and "Ü" (whose
// UTF-8 the lines are searched for, case ignored).
void markerSearch(benchmark::State& state, bool utf8) {
    culvex::LineSettings settings;
    settings.byRange = true;
    settings.startByMarker = true;
    settings.endByMarker = true;
    settings.encoding = culvex::TextEncoding::Auto;
    settings.fold = foldLatin;
    settings.startMarker = utf8 ? culvex::CodePageText{"\xC9", true, "\xC3\x89", {U'\u00E9'}}
                                : culvex::CodePageText{"k", true, "k", {U'k'}};
    settings.endMarker = utf8 ? culvex::CodePageText{"\xDC", true, "\xC3\x9C", {U'\u00FC'}}
                              : culvex::CodePageText{"q", true, "q", {U'q'}};
    const std::string& text = mostlyAscii();
    for (auto _ : state) {
        culvex::ResultsStore store;
        culvex::MemorySource source(text);
        culvex::LineExtractor extractor(culvex::Separator(","), settings);
        culvex::bench::StoreSink sink(store);
        culvex::bench::NoPauses progress;
        culvex::extractLines(source, extractor, sink, progress);
        benchmark::DoNotOptimize(store.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Every column (J1) and columns 2 to 3 (J2) as the window runs them, then on one thread
// at each level of byte comparison, with "," and " | ", and J1 on two threads.
void registerJobs() {
    using culvex::ScanLevel;
    const ScanLevel best = culvex::bestScanLevel();
    const auto add = [](const std::string& name, const char* job, const char* separator,
                        unsigned threads, ScanLevel level) {
        benchmark::RegisterBenchmark(name.c_str(), runJob, job, separator, threads, level)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    add("EveryColumn", "J1", ",", 0, best);
    add("ColumnsTwoToThree", "J2", ",", 0, best);
    for (const auto& [name, level] :
         {std::pair{"bytes", ScanLevel::Bytes}, std::pair{"sse2", ScanLevel::Sse2},
          std::pair{"avx2", ScanLevel::Avx2}, std::pair{"avx512", ScanLevel::Avx512}}) {
        if (level <= best) {
            const std::string suffix = std::string("/1thread/") + name;
            add("EveryColumn" + suffix, "J1", ",", 1, level);
            add("EveryColumnBars" + suffix, "J1", " | ", 1, level);
            add("ColumnsTwoToThree" + suffix, "J2", ",", 1, level);
        }
    }
    add("EveryColumn/2threads", "J1", ",", 2, best);
}

}  // namespace

BENCHMARK_CAPTURE(markerSearch, ascii, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(markerSearch, utf8, true)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
    registerJobs();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
