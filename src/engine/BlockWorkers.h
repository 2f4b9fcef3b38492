#pragma once

#include "engine/FileExtraction.h"
#include "engine/ResultsStore.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <string_view>
#include <thread>
#include <vector>

namespace culvex {

// Whole lines of a source, with the bytes that may be read past them.
struct LineBlock {
    std::string_view text;
    std::string_view readable;
    std::uint64_t offset = 0;  // where the text starts in the source
    std::size_t unbroken = 0;  // the bytes at the start known to hold no LF
};

// Extracts the lines (or, with quoted fields, the whole records) of one block into `sink`,
// reporting overflows and pauses to `progress`. Where the pauses fall depends on the offset and
// the line ends alone, so a block gives the same wherever and whenever it is extracted. A plain
// line longer than `stretch` is cut a stretch at a time, asking the progress between them whether
// to go on. False when the progress said it has stopped at a pause, or not to go on inside a long
// line.
bool extractBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery, std::size_t stretch);

// The rows and reports of one block, kept in order to be handed on later. The rows are
// kept as 32-bit spans of the block's bytes, so a block may hold at most 4 GiB of them; for a
// sink that has a row format, as the bytes that format writes; for a sink that takes pages
// of rows, in pages the sink takes over whole, a new page after each report.
class BlockRecord final : public ResultsSink, public ExtractionProgress {
public:
    // Keeps the rows as `format` writes them from now on; none: as spans.
    void writeWith(const RowFormat* format) { format_ = format; }
    // Keeps the rows in pages from now on.
    void keepPages() { paged_ = true; }
    void append(std::string_view row) override;
    void appendBatch(std::span<const std::string_view> rows, std::string_view source) override;
    void appendSpans(std::span<const RowSpan> rows, std::string_view source) override;
    const RowFormat* rowFormat() const override { return format_; }
    void appendWritten(std::string_view bytes, std::size_t rows) override;
    void publish() override {}
    void pause() override { events_.push_back({mark(), bytes_.size(), std::nullopt}); }
    void overflowed(LineOverflows line) override {
        events_.push_back({mark(), bytes_.size(), line});
    }
    void quoteLeftOpen() override {
        events_.push_back({mark(), bytes_.size(), std::nullopt, true});
    }

    // Empties the record for the rows of `source`, of at most 4 GiB.
    void clear(std::string_view source);
    // Called on the thread that extracted the block, when it is done, so that the work
    // of sealing its last page is done there.
    void finish();
    // Hands the rows and between them the reports on; false when the progress said it has
    // stopped at a pause.
    bool replay(ResultsSink& sink, ExtractionProgress& progress);

private:
    struct Event {
        std::size_t rowsBefore;                 // with pages: the pages before
        std::size_t bytesBefore;                // of the rows as the format wrote them
        std::optional<LineOverflows> overflow;  // none: a pause or an unclosed quote
        bool openQuote = false;
    };
    // Room for `more` rows after the ones kept; the buffer is kept from block to block.
    RowSpan* extend(std::size_t more);
    // Where a report falls among the rows: after the rows kept, or with pages, after the
    // page being filled, the rows after it going to the next.
    std::size_t mark();

    std::string_view source_;
    const RowFormat* format_ = nullptr;
    RowBytes bytes_;
    std::unique_ptr<RowSpan[]> rows_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    bool paged_ = false;
    std::vector<RowPage> pages_;
    std::size_t page_ = 0;  // the page being filled
    std::vector<Event> events_;
};

// The reader's blocks from its current one on, extracted by worker threads at once, each
// with its own copy of the extractor, helped by the calling thread whenever it waits. The
// block in the reader's buffer b sits in slot b from submitCurrent() until it is replayed,
// so at most as many blocks as buffers are in hand, oldest first, and the reader reuses a
// buffer only once its block is replayed. The workers own the reader: when they go, the
// queued blocks are dropped, each thread finishes only the block it is on and is joined,
// and only then do the buffers go.
class BlockWorkers {
public:
    // `threads` workers besides the calling thread; if the system starts fewer (or none),
    // the calling thread extracts what they leave. A block of more than `recordBytes`
    // readable bytes, and one that holds a line longer than a block, is extracted on the
    // calling thread when its turn comes, so that it stays live inside the line.
    // The workers keep the rows as `sink` takes them best: written by its row format, in
    // pages for a sink that takes pages, or as spans.
    BlockWorkers(LineBlocks blocks, unsigned threads, const LineExtractor& extractor,
                 std::size_t pauseEvery, std::size_t recordBytes, const ResultsSink& sink);
    BlockWorkers(const BlockWorkers&) = delete;
    BlockWorkers& operator=(const BlockWorkers&) = delete;
    ~BlockWorkers();

    LineBlocks& blocks() { return blocks_; }
    // Whether every buffer holds a block in hand, so that the reader must wait.
    bool full() const { return inHand_.size() == slots_.size(); }
    bool empty() const { return inHand_.empty(); }

    // Queues the reader's current block.
    void submitCurrent();
    // Extracts queued blocks with `extractor` until the oldest block in hand is extracted,
    // then hands its rows and reports on; a failure while it was extracted is thrown after
    // the rows before it. False when the progress said it has stopped at a pause.
    bool replayOldest(LineExtractor& extractor, ResultsSink& sink, ExtractionProgress& progress);

private:
    struct Slot {
        LineBlock block;
        BlockRecord record;
        std::exception_ptr failure;
        bool done = false;
        // Too large for a record, or a long line: extracted straight into the sink on the
        // calling thread when its turn comes.
        bool direct = false;
    };
    void work(std::stop_token stop, LineExtractor& extractor);
    // Extracts the slot's block, then marks it done.
    void extract(std::size_t slot, LineExtractor& extractor);

    LineBlocks blocks_;
    std::size_t pauseEvery_;
    std::size_t recordBytes_;
    std::vector<Slot> slots_;
    std::deque<std::size_t> inHand_;  // the slots of the blocks not replayed, oldest first
    std::mutex mutex_;
    std::condition_variable_any queued_;
    std::condition_variable extracted_;
    std::deque<std::size_t> queue_;  // the slots no thread has begun, under mutex_
    std::vector<std::jthread> threads_;
};

}  // namespace culvex
