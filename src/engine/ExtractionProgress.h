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
    // Called on the calling thread after each block read inside a line longer than a
    // block while its end is still to come, possibly before the rows of earlier blocks
    // are handed on, and after each block's length of such a line as it is cut, so that
    // the window stays live inside one endless line: false ends the extraction without
    // that line.
    virtual bool keepReadingLongLine() { return true; }
    // Called once for every line that met an overflow, with all it met; that line yielded
    // no rows.
    virtual void overflowed(LineOverflows line) = 0;
    // Called once for every record with quoted fields where a quote not closed within the
    // bound was read as plain text; that record yielded its rows.
    virtual void quoteLeftOpen() {}
};

}  // namespace culvex
