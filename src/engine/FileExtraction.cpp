#include "engine/FileExtraction.h"

#include "engine/BlockWorkers.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <thread>

namespace culvex {
namespace {

unsigned threadCount(unsigned asked) {
    return asked != 0 ? asked : std::max(std::thread::hardware_concurrency(), 1u);
}

// Enough blocks in hand that every thread has the next one queued while the oldest is
// handed on.
std::size_t buffersFor(unsigned threads) { return threads > 1 ? 2 * std::size_t{threads} + 1 : 1; }

LineBlock currentBlock(const LineBlocks& blocks) {
    return {blocks.text(), blocks.readable(), blocks.offset()};
}

// Reads the next block; a failed read is kept for after the blocks before it.
bool readNext(LineBlocks& blocks, std::exception_ptr& failure) {
    try {
        return blocks.next();
    } catch (...) {
        failure = std::current_exception();
        return false;
    }
}

// Hands the current block and every one after it to the workers, reading ahead while a
// buffer is free, and hands their rows and reports on in file order until the progress
// says it has stopped.
void extractInParallel(LineBlocks& blocks, std::size_t buffers, BlockWorkers& workers,
                       LineExtractor& extractor, ResultsSink& sink, ExtractionProgress& progress) {
    std::deque<std::size_t> inHand;  // the buffers of the blocks not handed on, oldest first
    std::exception_ptr readFailure;
    bool read = true;  // the current block waits for a worker
    bool ended = false;
    for (;;) {
        if (read) {
            workers.submit(blocks.buffer(), currentBlock(blocks));
            inHand.push_back(blocks.buffer());
        }
        if (!ended && inHand.size() < buffers) {
            read = readNext(blocks, readFailure);
            ended = !read;
            continue;
        }
        read = false;
        if (inHand.empty()) {
            break;
        }
        if (!workers.replay(inHand.front(), extractor, sink, progress)) {
            return;
        }
        inHand.pop_front();
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
    const std::size_t buffers = buffersFor(count);
    LineBlocks blocks(source, blockBytes, buffers);
    blocks.whileInLongLine([&progress] { return progress.keepReadingLongLine(); });
    while (blocks.next()) {
        if (count > 1 && blocks.offset() >= threads.fromBytes) {
            // The calling thread is one of the threads.
            BlockWorkers workers(count - 1, extractor, pauseEvery, buffers);
            extractInParallel(blocks, buffers, workers, extractor, sink, progress);
            return;
        }
        if (!extractBlock(currentBlock(blocks), extractor, sink, progress, pauseEvery)) {
            return;
        }
    }
}

}  // namespace culvex
