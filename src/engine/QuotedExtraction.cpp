#include "engine/QuotedExtraction.h"

#include <optional>

namespace culvex {
namespace {

// Records at `text`, with the bytes that may be read past them.
struct RecordsText {
    char* text;
    std::size_t size;
    std::string_view readable;
    std::uint64_t offset;  // where the text starts in the source
    bool atEnd;            // the text runs to the source's end
};

// Extracts the complete records of the text; returns how many bytes they take, or nothing
// when the progress said it has stopped at a pause.
std::optional<std::size_t> extractRecords(const RecordsText& in, LineExtractor& extractor,
                                          ResultsSink& sink, ExtractionProgress& progress,
                                          std::size_t pauseEvery) {
    // The batch holds views into the block: it is flushed before anything that can show
    // the rows so far.
    RowBatch rows(sink, in.readable);
    std::uint64_t nextPause = (in.offset / pauseEvery + 1) * pauseEvery;
    std::size_t done = 0;
    extractor.startBlock();
    while (done < in.size) {
        LineOverflows overflows;
        const QuotedRecord record =
            extractor.extractRecord(in.text + done, in.size - done, in.atEnd, rows, overflows);
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
        const std::uint64_t recordEnd = in.offset + done;
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

// Where the block's first record ends, reading on while it is not complete; each walk
// goes on where the last one stopped. 0 when the reading ended inside it (a stop).
std::size_t readOnToRecordEnd(LineBlocks& blocks, LineExtractor& extractor) {
    std::size_t from = 0;
    while (!blocks.text().empty()) {
        const std::size_t end = extractor.recordEnd(blocks.writableText(), blocks.text().size(),
                                                    blocks.atEnd(), blocks.readable(), from);
        if (end > 0) {
            return end;
        }
        blocks.extendText();
    }
    return 0;
}

}  // namespace

bool extractCurrentRecords(LineBlocks& blocks, LineExtractor& extractor, ResultsSink& sink,
                           ExtractionProgress& progress, std::size_t pauseEvery) {
    if (!blocks.atEnd() && readOnToRecordEnd(blocks, extractor) == 0) {
        return false;
    }
    const RecordsText in{blocks.writableText(), blocks.text().size(), blocks.readable(),
                         blocks.offset(), blocks.atEnd()};
    const std::optional<std::size_t> done =
        extractRecords(in, extractor, sink, progress, pauseEvery);
    if (done && *done < in.size) {
        blocks.keepOnly(*done);
    }
    return done.has_value();
}

bool extractQuotedBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
                        ExtractionProgress& progress, std::size_t pauseEvery) {
    // The block lies in the reader's buffer, which only this extraction reads until it is
    // handed on. Its records are whole, so every quote in them is decided within them.
    const RecordsText in{const_cast<char*>(block.text.data()), block.text.size(), block.readable,
                         block.offset, true};
    return extractRecords(in, extractor, sink, progress, pauseEvery).has_value();
}

bool cutAtRecordEnd(LineBlocks& blocks, LineExtractor& extractor, std::exception_ptr& failure) {
    try {
        if (blocks.text().empty()) {
            return false;
        }
        std::size_t end = extractor.recordsEnd(blocks.writableText(), blocks.text().size(),
                                               blocks.atEnd(), blocks.readable());
        if (end == 0) {
            end = readOnToRecordEnd(blocks, extractor);
            // Read on to the source's end, the block holds every record left.
            end = end > 0 && blocks.atEnd() ? blocks.text().size() : end;
        }
        blocks.keepOnly(end);
        return end > 0;
    } catch (...) {
        failure = std::current_exception();
        return false;
    }
}

}  // namespace culvex
