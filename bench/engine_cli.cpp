// Runs one extraction job over a file into a results store and prints what it cost:
//   culvex_engine_cli J1|J2|Q1|Q2 FILE [THREADS [bytes|sse2|avx2|avx512]]
// THREADS extract the file (default 0: one per core, as the window runs it); the last
// argument compares bytes one at a time or in vectors (default: the widest the processor
// runs).
// Output: one line "seconds=... bytes=... rows=... row_bytes=... store_bytes=...
// longest_gap=...", the last the longest time in seconds the run went without a pause.
#include "EngineBenchSupport.h"
#include "engine/InputFile.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    const auto level = argc == 5 ? culvex::bench::scanLevelNamed(argv[4]) : culvex::bestScanLevel();
    if (argc < 3 || argc > 5 || !level) {
        std::fprintf(stderr, "usage: %s J1|J2|Q1|Q2 FILE [THREADS [bytes|sse2|avx2|avx512]]\n",
                     argv[0]);
        return 2;
    }
    culvex::forceScanLevel(*level);
    try {
        const unsigned threads = argc >= 4 ? static_cast<unsigned>(std::stoul(argv[3])) : 0;
        const auto start = std::chrono::steady_clock::now();
        culvex::InputFile file(argv[2]);
        culvex::ResultsStore store;
        const std::chrono::duration<double> gap =
            culvex::bench::runJob(file, argv[1], store, threads);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::size_t rowBytes = 0;
        store.forEachRow(0, store.size(), [&](std::string_view row) { rowBytes += row.size(); });
        std::printf(
            "seconds=%.3f bytes=%zu rows=%zu row_bytes=%zu store_bytes=%zu longest_gap=%.3f\n",
            elapsed.count(), static_cast<std::size_t>(std::filesystem::file_size(argv[2])),
            store.size(), rowBytes, store.memoryBytes(), gap.count());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
