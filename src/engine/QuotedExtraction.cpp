#include "engine/QuotedExtraction.h"

namespace culvex {
namespace {

// Extracts the complete records of the current block; returns how many bytes they take,
// or nothing when the progress said it has stopped at a pause.
std::optional<std::size_t> extractRecords(LineBlocks& blocks, LineExtractor& extractor,
                                          ResultsSink& sink, ExtractionProgress& progress,
                                          std::size_t pauseEvery) {
    char* const text = blocks.writableText();
    const std::size_t size = blocks.text().size();
    // The batch holds views into the block: it is flushed before anything that can show
    // the rows so far.
    RowBatch rows(sink, blocks.readable());
    std::uint64_t nextPause = (blocks.offset() / pauseEvery + 1) * pauseEvery;
    std::size_t done = 0;
    extractor.startBlock();
    while (done < size) {
        LineOverflows overflows;
        const QuotedRecord record =
            extractor.extractRecord(text + done, size - done, blocks.atEnd(), rows, overflows);
        if (!record.complete) {
            break;
        }
        done += record.next;
        if (overflows.any() || record.leftOpen) {
            rows.flush();
        }
        if (overflows.any()) {
            progress.overflowed(overflows);
        }
        if (record.leftOpen) {
            progress.quoteLeftOpen();
        }
        const std::uint64_t recordEnd = blocks.offset() + done;
        if (recordEnd >= nextPause) {
            rows.flush();
            progress.pause();
            if (progress.stopped()) {
                return std::nullopt;
            }
            nextPause = (recordEnd / pauseEvery + 1) * pauseEvery;
        }
    }
    rows.flush();
    return done;
}

}  // namespace

void extractQuotedRecords(LineBlocks& blocks, LineExtractor& extractor, ResultsSink& sink,
                          ExtractionProgress& progress, std::size_t pauseEvery) {
    while (blocks.next()) {
        const std::optional<std::size_t> done =
            extractRecords(blocks, extractor, sink, progress, pauseEvery);
        if (!done) {
            return;
        }
        if (*done < blocks.text().size()) {
            blocks.keepOnly(*done);
        }
    }
}

}  // namespace culvex
