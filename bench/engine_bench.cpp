// The extraction engine from bytes to the results store, on generated CSV text.
#include "EngineBenchSupport.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

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

void runJob(benchmark::State& state, const char* job) {
    const std::string& text = sample();
    for (auto _ : state) {
        culvex::ResultsStore store;
        culvex::MemorySource source(text);
        culvex::bench::runJob(source, job, store);
        benchmark::DoNotOptimize(store.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void EveryColumn(benchmark::State& state) { runJob(state, "J1"); }
void ColumnsTwoToThree(benchmark::State& state) { runJob(state, "J2"); }

}  // namespace

BENCHMARK(EveryColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(ColumnsTwoToThree)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
