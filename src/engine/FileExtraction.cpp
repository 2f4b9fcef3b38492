// How a large file is extracted on several threads. The reader keeps a fixed number of
// buffers and fills them in strict rotation. The calling thread reads the next block
// while a buffer is free and queues it for the workers; when every buffer holds a block
// in hand, it replays the oldest one (extracting queued blocks itself while that one is
// not done), so rows and reports reach the sink in file order and the oldest buffer is
// free again. A stop or a failure ends the run at once: the workers drop what is queued,
// finish the block each is on and are joined before the buffers go.
#include "engine/FileExtraction.h"

#include "engine/BlockWorkers.h"
#include "engine/QuotedExtraction.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <utility>

namespace culvex {
namespace {

unsigned threadCount(unsigned asked) {
    return asked != 0 ? asked : std::max(std::thread::hardware_concurrency(), 1u);
}

// Enough blocks in hand that every thread has the next one queued while the oldest is
// handed on.
std::size_t buffersFor(unsigned threads) { return threads > 1 ? 2 * std::size_t{threads} + 1 : 1; }

// Reads the next block; a failed read is kept for after the blocks before it.
bool readNext(LineBlocks& blocks, std::exception_ptr& failure) {
    try {
        return blocks.next();
    } catch (...) {
        failure = std::current_exception();
        return false;
    }
}

// Extracts the reader's current block and every one after it.
void extractInParallel(BlockWorkers& workers, LineExtractor& extractor, ResultsSink& sink,
                       ExtractionProgress& progress) {
    std::exception_ptr readFailure;
    // With quoted fields a block is cut at its last record's end first, so that each is
    // extracted apart.
    const auto submit = [&] {
        if (extractor.quoted() && !cutAtRecordEnd(workers.blocks(), extractor, readFailure)) {
            return false;
        }
        workers.submitCurrent();
        return true;
    };
    bool ended = !submit();
    for (;;) {
        if (!ended && !workers.full()) {
            ended = !readNext(workers.blocks(), readFailure) || !submit();
            continue;
        }
        if (workers.empty()) {
            break;
        }
        if (!workers.replayOldest(extractor, sink, progress)) {
            return;
        }
    }
    if (readFailure) {
        std::rethrow_exception(readFailure);
    }
}

}  // namespace

void extractLines(ByteSource& source, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery, std::size_t blockBytes,
                  ExtractionThreads threads) {
    pauseEvery = std::max<std::size_t>(pauseEvery, 1);
    const unsigned count = threadCount(threads.count);
    LineBlocks blocks(source, blockBytes, buffersFor(count));
    blocks.whileInLongLine([&progress] { return progress.keepReadingLongLine(); });
    while (blocks.next()) {
        if (count > 1 && blocks.offset() >= threads.fromBytes) {
            // The calling thread is one of the threads.
            BlockWorkers workers(std::move(blocks), count - 1, extractor, pauseEvery,
                                 threads.recordBytes, sink);
            extractInParallel(workers, extractor, sink, progress);
            return;
        }
        if (extractor.quoted()) {
            if (!extractCurrentRecords(blocks, extractor, sink, progress, pauseEvery)) {
                return;
            }
            continue;
        }
        const LineBlock block{blocks.text(), blocks.readable(), blocks.offset(), blocks.unbroken()};
        if (!extractBlock(block, extractor, sink, progress, pauseEvery, blocks.blockBytes())) {
            return;
        }
    }
}

}  // namespace culvex
