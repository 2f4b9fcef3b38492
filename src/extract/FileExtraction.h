#pragma once

#include "extract/LineExtractor.h"
#include "output/ResultsSink.h"

#include <cstddef>
#include <string_view>

namespace culvex {

// What the extraction of one file reports back while it walks the lines.
class ExtractionProgress {
public:
    virtual ~ExtractionProgress() = default;
    // Called between lines about once per `pauseEvery` bytes, so that the window can
    // show the rows so far and stay live inside a large file.
    virtual void pause() = 0;
    // Called for every overflow a line met; that line yielded no rows.
    virtual void overflowed(IndexOverflow what) = 0;
};

inline constexpr std::size_t kPauseEveryBytes = std::size_t{1} << 20;

// Extracts every line of a file's bytes, first to last, into `sink`.
void extractLines(std::string_view bytes, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery = kPauseEveryBytes);

}  // namespace culvex
