#pragma once

#include "engine/FileReader.h"
#include "engine/LineExtractor.h"
#include "engine/ResultsSink.h"

#include <cstddef>
#include <cstdint>

namespace culvex {

// What the extraction of one file reports back while it walks the lines.
class ExtractionProgress {
public:
    virtual ~ExtractionProgress() = default;
    // Called between lines about once per `pauseEvery` bytes, so that the window can
    // show the rows so far and stay live inside a large file.
    virtual void pause() = 0;
    // Asked after every pause: true ends the extraction there, with the rows of the lines
    // before it in the sink.
    virtual bool stopped() const { return false; }
    // Called on the calling thread after each block read inside a line longer than a
    // block while its end is still to come, possibly before the rows of earlier blocks
    // are handed on, so that the window stays live inside one endless line: false ends
    // the extraction without that line.
    virtual bool keepReadingLongLine() { return true; }
    // Called once for every line that met an overflow, with all it met; that line yielded
    // no rows.
    virtual void overflowed(LineOverflows line) = 0;
};

inline constexpr std::size_t kPauseEveryBytes = std::size_t{1} << 20;
inline constexpr std::uint64_t kParallelFromBytes = std::uint64_t{8} << 20;

// How many threads extract one file, the calling thread among them. The file's first
// `fromBytes` stay on the calling thread, so that a small file starts no thread at all;
// the rest is cut into blocks that `count` threads extract at once. A count of 0 is one
// thread per core; 1 keeps the whole file on the calling thread.
struct ExtractionThreads {
    unsigned count = 0;
    std::uint64_t fromBytes = kParallelFromBytes;
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
