#pragma once

#include "engine/LineExtractor.h"

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
    // Called once for every line that met an overflow, with all it met; that line yielded
    // no rows.
    virtual void overflowed(LineOverflows line) = 0;
};

}  // namespace culvex
