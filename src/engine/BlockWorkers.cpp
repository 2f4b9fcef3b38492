#include "engine/BlockWorkers.h"

#include "engine/QuotedExtraction.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <limits>
#include <system_error>

namespace culvex {
namespace {

std::uint64_t pauseAfter(std::uint64_t offset, std::size_t pauseEvery) {
    return (offset / pauseEvery + 1) * pauseEvery;
}

// Where the run of lines that ends at the next pause ends: past the first LF at or after
// byte `pauseAt - 1` of `text` (the line that reaches the pause), or at the text's end.
std::size_t runEnd(std::string_view text, std::size_t from, std::uint64_t pauseAt) {
    const std::uint64_t reach = std::max<std::uint64_t>(from, pauseAt - 1);
    if (reach >= text.size()) {
        return text.size();
    }
    const char* const at = text.data() + reach;
    const void* const lf = std::memchr(at, '\n', text.size() - reach);
    return lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) + 1
                         : text.size();
}

// Extracts the line at `from` by itself; returns where the next one starts.
std::size_t extractOneLine(std::string_view text, std::size_t from, std::string_view source,
                           LineExtractor& extractor, ResultsSink& sink,
                           ExtractionProgress& progress) {
    const std::size_t lf = text.find('\n', from);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (lf != std::string_view::npos && end > from && text[end - 1] == '\r') {
        --end;
    }
    RowBatch rows(sink, source);
    const LineOverflows overflows = extractor.extract(text.substr(from, end - from), rows);
    rows.flush();
    if (overflows.any()) {
        progress.overflowed(overflows);
    }
    return lf == std::string_view::npos ? text.size() : lf + 1;
}

// Runs of lines cut into spans.
class SpanRuns {
public:
    SpanRuns(const LineExtractor& extractor, ResultsSink& sink, std::string_view source)
        : extractor_(extractor), rows_(sink, source) {}
    std::size_t cut(std::string_view text, std::size_t from, std::size_t to) {
        return extractor_.cutLines(text, from, to, rows_);
    }
    void flush() { rows_.flush(); }

private:
    const LineExtractor& extractor_;
    SpanBatch rows_;
};

// Runs of lines cut straight into the sink's lines, each row and a LF.
class WrittenRuns {
public:
    WrittenRuns(const LineExtractor& extractor, ResultsSink& sink)
        : extractor_(extractor), sink_(sink) {
        bytes_.clear();
    }
    std::size_t cut(std::string_view text, std::size_t from, std::size_t to) {
        return extractor_.writeLines(text, from, to, bytes_, rows_);
    }
    void flush() {
        if (rows_ > 0) {
            sink_.appendWritten(bytes_.view(), rows_);
        }
        bytes_.clear();
        rows_ = 0;
    }

private:
    const LineExtractor& extractor_;
    ResultsSink& sink_;
    // Kept from block to block on each thread, so that its room is made once.
    static thread_local RowBytes bytes_;
    std::size_t rows_ = 0;
};

thread_local RowBytes WrittenRuns::bytes_;

// Extracts the block's lines in runs, each up to the line that reaches the next pause; a
// line with more columns than a run takes goes by itself.
template <class Runs>
bool cutBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
              ExtractionProgress& progress, std::size_t pauseEvery, Runs& rows) {
    const std::string_view text = block.text;
    std::uint64_t nextPause = pauseAfter(block.offset, pauseEvery);
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t to = runEnd(text, from, nextPause - block.offset);
        // A run reads the eight bytes before a column's end: the lines that start in the
        // block's first eight bytes go by themselves.
        from = from >= LineExtractor::kRunStart ? rows.cut(text, from, to) : from;
        if (from < to) {
            rows.flush();
            from = extractOneLine(text, from, block.readable, extractor, sink, progress);
        }
        if (block.offset + from >= nextPause) {
            rows.flush();
            progress.pause();
            if (progress.stopped()) {
                return false;
            }
            nextPause = pauseAfter(block.offset + from, pauseEvery);
        }
    }
    rows.flush();
    return true;
}

}  // namespace

bool extractBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery, std::size_t stretch) {
    if (extractor.quoted()) {
        return extractQuotedBlock(block, extractor, sink, progress, pauseEvery, stretch);
    }
    if (extractor.cutsRuns() && block.text.size() <= stretch &&
        block.readable.size() <= std::numeric_limits<std::uint32_t>::max()) {
        const RowFormat* const format = sink.rowFormat();
        if (format != nullptr && format->rowThenLineFeed() && extractor.writesLines()) {
            WrittenRuns rows(extractor, sink);
            return cutBlock(block, extractor, sink, progress, pauseEvery, rows);
        }
        SpanRuns rows(extractor, sink, block.readable);
        return cutBlock(block, extractor, sink, progress, pauseEvery, rows);
    }
    // The batch holds views into the block: it is flushed before anything that can show
    // the rows so far (a pause or a report).
    RowBatch rows(sink, block.readable);
    TextLines lines(block.text, scanLevel(), block.unbroken);
    LongLineCut cut(stretch, [&progress] { return progress.keepReadingLongLine(); });
    const std::uint64_t textEnd = block.offset + block.text.size();
    std::uint64_t nextPause = pauseAfter(block.offset, pauseEvery);
    std::string_view line;
    while (lines.next(line)) {
        const LineOverflows overflows = extractor.extract(line, rows, &cut);
        if (cut.gaveUp()) {
            rows.flush();
            return false;
        }
        if (overflows.any()) {
            rows.flush();
            progress.overflowed(overflows);
        }
        const std::uint64_t lineEnd = textEnd - lines.remaining();
        if (lineEnd >= nextPause) {
            rows.flush();
            progress.pause();
            if (progress.stopped()) {
                return false;
            }
            nextPause = pauseAfter(lineEnd, pauseEvery);
        }
    }
    rows.flush();
    return true;
}

RowSpan* BlockRecord::extend(std::size_t more) {
    if (capacity_ - size_ < more) {
        const std::size_t capacity = std::max(2 * capacity_, size_ + more);
        auto rows = std::make_unique_for_overwrite<RowSpan[]>(capacity);
        std::copy_n(rows_.get(), size_, rows.get());
        rows_ = std::move(rows);
        capacity_ = capacity;
    }
    RowSpan* const to = rows_.get() + size_;
    size_ += more;
    return to;
}

void BlockRecord::append(std::string_view row) { appendBatch({&row, 1}, source_); }

void BlockRecord::appendBatch(std::span<const std::string_view> rows, std::string_view source) {
    // The rows are kept as offsets into the block the record was cleared for.
    assert(source.data() >= source_.data() &&
           source.data() + source.size() <= source_.data() + source_.size());
    static_cast<void>(source);
    const char* const base = source_.data();
    const auto spanOf = [base](std::string_view row) {
        const auto begin = static_cast<std::uint32_t>(row.data() - base);
        return RowSpan{begin, begin + static_cast<std::uint32_t>(row.size())};
    };
    if (paged_) {
        pages_[page_].appendRows(rows, source);
        return;
    }
    if (format_ == nullptr) {
        std::transform(rows.begin(), rows.end(), extend(rows.size()), spanOf);
        return;
    }
    constexpr std::size_t kSpans = 256;
    std::array<RowSpan, kSpans> spans;
    for (std::size_t first = 0; first < rows.size(); first += kSpans) {
        const std::size_t count = std::min(kSpans, rows.size() - first);
        std::transform(rows.begin() + static_cast<std::ptrdiff_t>(first),
                       rows.begin() + static_cast<std::ptrdiff_t>(first + count), spans.begin(),
                       spanOf);
        appendSpans({spans.data(), count}, source_);
    }
}

void BlockRecord::appendSpans(std::span<const RowSpan> rows, std::string_view source) {
    // The spans are offsets into the block the record was cleared for.
    assert(source.data() == source_.data());
    static_cast<void>(source);
    if (paged_) {
        pages_[page_].appendSpans(rows, source_);
        return;
    }
    if (format_ != nullptr) {
        format_->write(rows, source_, bytes_);
        size_ += rows.size();
        return;
    }
    std::copy(rows.begin(), rows.end(), extend(rows.size()));
}

void BlockRecord::appendWritten(std::string_view bytes, std::size_t rows) {
    std::memcpy(bytes_.room(bytes.size()), bytes.data(), bytes.size());
    bytes_.added(bytes.size());
    size_ += rows;
}

void BlockRecord::clear(std::string_view source) {
    source_ = source;
    size_ = 0;
    bytes_.clear();
    events_.clear();
    if (paged_) {
        page_ = 0;
        if (pages_.empty()) {
            pages_.emplace_back();
        }
        pages_[0].clear(source.size() + RowPage::kMoveBytes);
    }
}

std::size_t BlockRecord::mark() {
    if (!paged_) {
        return size_;
    }
    pages_[page_].seal();
    const std::size_t room = pages_[page_].room();
    ++page_;
    if (page_ == pages_.size()) {
        pages_.emplace_back();
    }
    pages_[page_].clear(room);
    return page_;
}

void BlockRecord::finish() {
    if (paged_) {
        pages_[page_].seal();
    }
}

bool BlockRecord::replay(ResultsSink& sink, ExtractionProgress& progress) {
    std::size_t handed = 0;
    std::size_t handedBytes = 0;
    const auto handOn = [&](std::size_t upTo, std::size_t upToBytes) {
        if (upTo == handed) {
            return;
        }
        if (paged_) {
            for (std::size_t page = handed; page < upTo; ++page) {
                sink.appendPage(pages_[page]);
            }
        } else if (format_ != nullptr) {
            sink.appendWritten(bytes_.view().substr(handedBytes, upToBytes - handedBytes),
                               upTo - handed);
        } else {
            sink.appendSpans({rows_.get() + handed, upTo - handed}, source_);
        }
        handed = upTo;
        handedBytes = upToBytes;
    };
    for (const Event& event : events_) {
        handOn(event.rowsBefore, event.bytesBefore);
        if (event.openQuote) {
            progress.quoteLeftOpen();
        } else if (event.overflow) {
            progress.overflowed(*event.overflow);
        } else {
            progress.pause();
            if (progress.stopped()) {
                return false;
            }
        }
    }
    handOn(paged_ ? page_ + 1 : size_, bytes_.size());
    return true;
}

BlockWorkers::BlockWorkers(LineBlocks blocks, unsigned threads, const LineExtractor& extractor,
                           std::size_t pauseEvery, std::size_t recordBytes, const ResultsSink& sink)
    : blocks_(std::move(blocks)),
      pauseEvery_(pauseEvery),
      recordBytes_(recordBytes),
      slots_(blocks_.buffers()) {
    for (Slot& slot : slots_) {
        if (sink.takesPages()) {
            slot.record.keepPages();
        } else {
            slot.record.writeWith(sink.rowFormat());
        }
    }
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        try {
            threads_.emplace_back([this, own = extractor](std::stop_token stop) mutable {
                work(std::move(stop), own);
            });
        } catch (const std::system_error&) {
            // The system gives no more threads: the ones started and the calling thread
            // do the work.
            break;
        }
    }
}

BlockWorkers::~BlockWorkers() {
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    for (std::jthread& thread : threads_) {
        thread.request_stop();
    }
    for (std::jthread& thread : threads_) {
        thread.join();
    }
}

void BlockWorkers::submitCurrent() {
    const std::size_t slot = blocks_.buffer();
    // The reader fills its buffers in strict rotation, and a buffer whose block is in hand
    // is never filled again.
    assert(!full());
    assert(inHand_.empty() || slot == (inHand_.back() + 1) % slots_.size());
    Slot& s = slots_[slot];
    s.block = {blocks_.text(), blocks_.readable(), blocks_.offset(), blocks_.unbroken()};
    s.failure = nullptr;
    s.direct = s.block.readable.size() > recordBytes_ || s.block.text.size() > blocks_.blockBytes();
    if (!s.direct) {
        s.record.clear(s.block.readable);
    }
    inHand_.push_back(slot);
    {
        const std::lock_guard lock(mutex_);
        s.done = s.direct;
        if (!s.direct) {
            queue_.push_back(slot);
        }
    }
    queued_.notify_one();
}

bool BlockWorkers::replayOldest(LineExtractor& extractor, ResultsSink& sink,
                                ExtractionProgress& progress) {
    assert(!empty());
    const std::size_t slot = inHand_.front();
    Slot& s = slots_[slot];
    std::unique_lock lock(mutex_);
    while (!s.done) {
        if (queue_.empty()) {
            extracted_.wait(lock);
            continue;
        }
        // Rather than wait, take the next block no worker has begun.
        const std::size_t next = queue_.front();
        queue_.pop_front();
        lock.unlock();
        extract(next, extractor);
        lock.lock();
    }
    lock.unlock();
    // The slot leaves the hand first, so that a stop or a failure below frees it too.
    inHand_.pop_front();
    if (s.direct) {
        return extractBlock(s.block, extractor, sink, progress, pauseEvery_, blocks_.blockBytes());
    }
    if (!s.record.replay(sink, progress)) {
        return false;
    }
    if (s.failure) {
        std::rethrow_exception(s.failure);
    }
    return true;
}
void BlockWorkers::work(std::stop_token stop, LineExtractor& extractor) {
    for (;;) {
        std::size_t slot = 0;
        {
            std::unique_lock lock(mutex_);
            if (!queued_.wait(lock, stop, [&] { return !queue_.empty(); })) {
                return;
            }
            slot = queue_.front();
            queue_.pop_front();
        }
        extract(slot, extractor);
    }
}

void BlockWorkers::extract(std::size_t slot, LineExtractor& extractor) {
    Slot& s = slots_[slot];
    try {
        extractBlock(s.block, extractor, s.record, s.record, pauseEvery_, blocks_.blockBytes());
        s.record.finish();
    } catch (...) {
        s.failure = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex_);
        s.done = true;
    }
    extracted_.notify_all();
}

}  // namespace culvex
