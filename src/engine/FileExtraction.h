#pragma once

#include "engine/ExtractionProgress.h"
#include "engine/FileReader.h"
#include "engine/LineExtractor.h"
#include "engine/ResultsSink.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace culvex {

inline constexpr std::size_t kPauseEveryBytes = std::size_t{1} << 20;
inline constexpr std::uint64_t kParallelFromBytes = std::uint64_t{8} << 20;

// How many threads extract one file, the calling thread among them. The file's first
// `fromBytes` stay on the calling thread, so that a small file starts no thread at all;
// the rest is cut into blocks that `count` threads extract at once. A count of 0 is one
// thread per core; 1 keeps the whole file on the calling thread.
// A block's rows are kept as 32-bit offsets while it waits for its turn; a block larger
// than `recordBytes` is extracted on the calling thread when its turn comes.
struct ExtractionThreads {
    unsigned count = 0;
    std::uint64_t fromBytes = kParallelFromBytes;
    std::size_t recordBytes = std::numeric_limits<std::uint32_t>::max();
};

// Extracts every line of a source, first to last, into `sink`, reading it block by block.
// Rows, overflow reports and pauses reach `sink` and `progress` on the calling thread in
// file order, the same however many threads extract. A pause follows the line that
// reaches or passes each multiple of `pauseEvery` bytes into the source; the extraction
// ends there when the progress says it has stopped. A
// failed read ends the extraction with the source's exception; the rows of the lines before it are
// in `sink` by then.
void extractLines(ByteSource& source, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery = kPauseEveryBytes,
                  std::size_t blockBytes = kBlockBytes, ExtractionThreads threads = {});

}  // namespace culvex
