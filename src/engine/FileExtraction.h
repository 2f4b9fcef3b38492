#pragma once

#include "engine/FileReader.h"
#include "engine/LineExtractor.h"
#include "engine/ResultsSink.h"

#include <cstddef>

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
    // Called for every overflow a line met; that line yielded no rows.
    virtual void overflowed(IndexOverflow what) = 0;
};

inline constexpr std::size_t kPauseEveryBytes = std::size_t{1} << 20;

// Extracts every line of a source, first to last, into `sink`, reading it block by block,
// until the progress says it has stopped. A failed read ends the extraction with the source's
// exception; the rows of the lines before it are in `sink` by then.
void extractLines(ByteSource& source, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery = kPauseEveryBytes,
                  std::size_t blockBytes = kBlockBytes);

}  // namespace culvex
