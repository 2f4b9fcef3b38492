#include "engine/QuotedExtraction.h"

#include <cstdint>
#include <limits>
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

std::uint64_t pauseAfter(std::uint64_t offset, std::size_t pauseEvery) {
    return (offset / pauseEvery + 1) * pauseEvery;
}

// What follows a record: its reports, then the pause when it reaches the next pause point.
// False when the progress said it has stopped there.
template <class Rows>
bool afterRecord(std::uint64_t recordEnd, LineOverflows overflows, bool leftOpen, Rows& rows,
                 ExtractionProgress& progress, std::uint64_t& nextPause, std::size_t pauseEvery) {
    if (overflows.any() || leftOpen) {
        rows.flush();
    }
    if (overflows.any()) {
        progress.overflowed(overflows);
    }
    if (leftOpen) {
        progress.quoteLeftOpen();
    }
    if (recordEnd >= nextPause) {
        rows.flush();
        progress.pause();
        if (progress.stopped()) {
            return false;
        }
        nextPause = pauseAfter(recordEnd, pauseEvery);
    }
    return true;
}

// Extracts the complete records of the text, each cut into columns first; returns how
// many bytes they take, or nothing when the progress said it has stopped at a pause.
std::optional<std::size_t> cutRecords(const RecordsText& in, LineExtractor& extractor,
                                      ResultsSink& sink, ExtractionProgress& progress,
                                      std::size_t pauseEvery) {
    // The batch holds views into the block: it is flushed before anything that can show
    // the rows so far.
    RowBatch rows(sink, in.readable);
    std::uint64_t nextPause = pauseAfter(in.offset, pauseEvery);
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
        if (!afterRecord(in.offset + done, overflows, record.leftOpen, rows, progress, nextPause,
                         pauseEvery)) {
            return std::nullopt;
        }
    }
    rows.flush();
    return done;
}

// Cuts the record at `at` into columns, its rows straight to the sink. Nothing when it is
// not complete.
std::optional<QuotedRecord> cutRecord(const RecordsText& in, std::size_t at,
                                      LineExtractor& extractor, ResultsSink& sink,
                                      LineOverflows& overflows) {
    RowBatch rows(sink, in.readable);
    extractor.startBlock();
    const QuotedRecord record =
        extractor.extractRecord(in.text + at, in.size - at, in.atEnd, rows, overflows);
    rows.flush();
    return record.complete ? std::optional(record) : std::nullopt;
}

// The same as cutRecords, the records' rows found in one pass where the columns allow it;
// a record longer than `stretch` asks the progress after every `stretch` bytes as it is
// cut, and ends the extraction when told not to go on.
std::optional<std::size_t> extractRecords(const RecordsText& in, LineExtractor& extractor,
                                          ResultsSink& sink, ExtractionProgress& progress,
                                          std::size_t pauseEvery, std::size_t stretch) {
    // The stream keeps its rows as 32-bit spans of the readable bytes.
    const std::optional<StreamedColumns> columns = extractor.streamedColumns();
    if (!columns || in.readable.size() > std::numeric_limits<std::uint32_t>::max()) {
        return cutRecords(in, extractor, sink, progress, pauseEvery);
    }
    RecordRows rows(sink, in.readable);
    RecordStream stream(*columns, in.text, in.size, in.atEnd,
                        in.readable.data() + in.readable.size(), stretch,
                        [&progress] { return progress.keepReadingLongLine(); });
    std::uint64_t nextPause = pauseAfter(in.offset, pauseEvery);
    std::size_t done = 0;
    while (done < in.size) {
        const StreamedRecords streamed =
            stream.run(done, static_cast<std::size_t>(nextPause - in.offset), rows);
        done = streamed.done;
        LineOverflows overflows;
        bool leftOpen = false;
        switch (streamed.end) {
            case StreamedRecords::Text:
            case StreamedRecords::Pause:
                break;
            case StreamedRecords::Overflow:
                overflows.add(IndexOverflow::LastColumn);
                break;
            case StreamedRecords::Record: {
                // A quote left open: the record is cut as its columns fall.
                rows.flush();
                const std::optional<QuotedRecord> record =
                    cutRecord(in, done, extractor, sink, overflows);
                if (!record) {
                    return done;
                }
                done += record->next;
                leftOpen = record->leftOpen;
                break;
            }
            case StreamedRecords::Incomplete:
                rows.flush();
                return done;
            case StreamedRecords::Stopped:
                rows.flush();
                return std::nullopt;
        }
        if (!afterRecord(in.offset + done, overflows, leftOpen, rows, progress, nextPause,
                         pauseEvery)) {
            return std::nullopt;
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
        extractRecords(in, extractor, sink, progress, pauseEvery, blocks.blockBytes());
    if (done && *done < in.size) {
        blocks.keepOnly(*done);
    }
    return done.has_value();
}

bool extractQuotedBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
                        ExtractionProgress& progress, std::size_t pauseEvery, std::size_t stretch) {
    // The block lies in the reader's buffer, which only this extraction reads until it is
    // handed on. Its records are whole, so every quote in them is decided within them.
    const RecordsText in{const_cast<char*>(block.text.data()), block.text.size(), block.readable,
                         block.offset, true};
    return extractRecords(in, extractor, sink, progress, pauseEvery, stretch).has_value();
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
