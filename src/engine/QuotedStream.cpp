#include "engine/QuotedStream.h"

#include "engine/LineExtractor.h"
#include "engine/QuotedFields.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace culvex {
namespace {

constexpr char kQuote = '"';
constexpr std::size_t kWindow = 64;
constexpr std::size_t kRowsAtOnce = 512;

// Whether a break follows the bytes that end at `at`, as the line-end mark asks (the
// source's last record without a break gets none).
bool endsWithBreak(const char* at, std::string_view source) {
    const char* const end = source.data() + source.size();
    return (at < end && at[0] == '\n') || (end - at >= 2 && at[0] == '\r' && at[1] == '\n');
}

}  // namespace

RecordRows::RecordRows(ResultsSink& sink, std::string_view source)
    : sink_(sink), source_(source), rows_(kRowsAtOnce) {}

void RecordRows::flush() {
    if (committed_ == 0) {
        return;
    }
    sink_.appendSpans({rows_.data(), committed_}, source_);
    std::copy(rows_.begin() + static_cast<std::ptrdiff_t>(committed_),
              rows_.begin() + static_cast<std::ptrdiff_t>(count_), rows_.begin());
    count_ -= committed_;
    committed_ = 0;
}

// Hands the complete records' rows on; while one record holds most of the room, the room
// grows (a record holds at most as many rows as the index has columns).
[[gnu::noinline]] void RecordRows::makeRoom() {
    flush();
    if (2 * count_ > rows_.size()) {
        rows_.resize(2 * rows_.size());
    }
}

RecordStream::RecordStream(const StreamedColumns& columns, char* text, std::size_t size, bool atEnd,
                           const char* readableEnd, std::size_t stretch,
                           std::function<bool()> keepCutting)
    : columns_(columns),
      text_(text),
      end_(text + size),
      atEnd_(atEnd),
      readableEnd_(readableEnd),
      stretch_(std::max<std::size_t>(stretch, 1)),
      keepCutting_(std::move(keepCutting)) {}

StreamedRecords RecordStream::run(std::size_t from, std::size_t pauseAt, RecordRows& rows) {
#ifdef __SSE2__
    if (columns_.level >= ScanLevel::Avx2) {
        return runAvx2(from, pauseAt, rows);
    }
    if (columns_.level == ScanLevel::Sse2) {
        return runSse2(from, pauseAt, rows);
    }
#endif
    return runBytes(from, pauseAt, rows);
}

#ifdef __SSE2__
// The loop built for AVX2, with everything it calls inlined; run only where the processor
// has it.
[[gnu::target("avx2,bmi,bmi2,lzcnt,pclmul"), gnu::flatten]] StreamedRecords RecordStream::runAvx2(
    std::size_t from, std::size_t pauseAt, RecordRows& rows) {
    return runAt<ScanLevel::Avx2>(from, pauseAt, rows);
}
#endif

[[gnu::noinline]] StreamedRecords RecordStream::runSse2(std::size_t from, std::size_t pauseAt,
                                                        RecordRows& rows) {
    return runAt<ScanLevel::Sse2>(from, pauseAt, rows);
}

[[gnu::noinline]] StreamedRecords RecordStream::runBytes(std::size_t from, std::size_t pauseAt,
                                                         RecordRows& rows) {
    return runAt<ScanLevel::Bytes>(from, pauseAt, rows);
}

// Each record is walked column by column: a plain column ends at the next separator or
// line feed, a quoted one at its closing quote and then at the next of those. Past the
// last column wanted, only quotes that open a column and the line feed that ends the
// record are looked at.
template <ScanLevel kLevel>
StreamedRecords RecordStream::runAt(std::size_t from, std::size_t pauseAt, RecordRows& rows) {
    const char separator = columns_.separator;
    const int first = columns_.first;
    const int last = columns_.last;
    const bool keepEmpty = columns_.keepEmpty;
    const std::string_view source = rows.source();
    const char* const end = end_;
    const char* record = text_ + from;
    Window window;
    window.askAt = askFrom(record);
    sync<kLevel>(window, record);
    // The record at `record` is not done here: its rows and rewrites go.
    const auto cutShort = [&](StreamedRecords::End why) {
        rows.dropUncommitted();
        rewrites_.clear();
        return StreamedRecords{stopped_ ? StreamedRecords::Stopped : why,
                               static_cast<std::size_t>(record - text_)};
    };
    // Cuts the columns from `column` on that end at a separator before the next quote of
    // the window: none of them holds a quote, so each is a plain one. Stops past `last`.
    const auto cutPlainColumns = [&](const char*& column, int& index) {
        const auto skip = reinterpret_cast<std::uintptr_t>(column) -
                          reinterpret_cast<std::uintptr_t>(window.base);
        if (skip >= kWindow) {
            return;
        }
        const std::uint64_t quotes = window.bits[1] >> skip << skip;
        const std::uint64_t lineFeeds = window.bits[2];
        const char* const base = window.base;
        std::uint64_t events = window.events;
        RowSpan* out = rows.room(kWindow);
        for (std::uint64_t plain = events & ((quotes & (0 - quotes)) - 1);
             plain != 0 && index <= last; plain &= plain - 1) {
            const int bit = std::countr_zero(plain);
            if ((lineFeeds >> bit & 1) != 0) {
                break;
            }
            const char* const stop = base + bit;
            const std::string_view bytes(column, static_cast<std::size_t>(stop - column));
            const std::string_view row = trimSpaces(bytes, source);
            const auto begin = static_cast<std::uint32_t>(row.data() - source.data());
            *out = {begin, begin + static_cast<std::uint32_t>(row.size())};
            out += index >= first && (keepEmpty || !bytes.empty()) ? 1 : 0;
            events &= events - 1;
            ++index;
            column = stop + 1;
        }
        window.events = events;
        rows.end(out);
    };
    while (record < end) {
        window.askAt = askFrom(record);
        int index = 0;
        const char* column = record;
        const char* lineEnd = nullptr;
        bool overflow = false;
        for (;;) {
            if (index > last) {
                if (columns_.overflowPastLast) {
                    overflow = true;
                    rows.dropUncommitted();
                    rewrites_.clear();
                }
                const char* at = lineEndAfter<kLevel>(window, column);
                if (at != nullptr) {
                    sync<kLevel>(window, at + 1);
                    lineEnd = at;
                    break;
                }
                at = column;
                for (;;) {
                    at = next<kLevel, Quotes | LineFeeds>(window, at, end);
                    if (at == end || *at == '\n') {
                        sync<kLevel>(window, at == end ? end : at + 1);
                        break;
                    }
                    if (!opensColumn(at, record)) {
                        ++at;
                        continue;
                    }
                    const Closing closing = findClosing<kLevel>(window, at);
                    if (closing.close == nullptr) {
                        return cutShort(closing.failure);
                    }
                    at = closing.close + 1;
                }
                if (at == end && (stopped_ || !atEnd_)) {
                    return cutShort(StreamedRecords::Incomplete);
                }
                lineEnd = at;
                break;
            }
            cutPlainColumns(column, index);
            if (index > last) {
                continue;
            }
            const char* const start = skipSpaces(column);
            const char* stop = nullptr;
            std::string_view value;
            bool keep = false;
            if (start < end && *start == kQuote) {
                const Closing closing = findClosing<kLevel>(window, start);
                if (closing.close == nullptr) {
                    return cutShort(closing.failure);
                }
                sync<kLevel>(window, closing.close + 1);
                stop = nextEvent<kLevel>(window);
                // The text after the closing quote, without a CR before the LF and
                // without trailing spaces.
                const char* afterEnd = stop;
                if (stop < end && *stop == '\n' && stop > closing.close + 1 && stop[-1] == '\r') {
                    --afterEnd;
                }
                while (afterEnd > closing.close + 1 && afterEnd[-1] == ' ') {
                    --afterEnd;
                }
                const auto inside = static_cast<std::size_t>(closing.close - start - 1);
                if (closing.doubled == 0 && afterEnd == closing.close + 1) {
                    value = std::string_view(start + 1, inside);
                } else {
                    rewrites_.push_back({text_ + (start - text_), closing.close, afterEnd});
                    value = std::string_view(
                        start, inside - closing.doubled +
                                   static_cast<std::size_t>(afterEnd - closing.close - 1));
                }
                keep = keepEmpty || !value.empty();
            } else {
                stop = nextEvent<kLevel>(window);
                if (stop < end && *stop == separator) {
                    const std::string_view bytes(column, static_cast<std::size_t>(stop - column));
                    if (index >= first) {
                        rows.addIf(trimSpaces(bytes, source), keepEmpty || !bytes.empty());
                    }
                    ++index;
                    column = stop + 1;
                    continue;
                }
                const char* columnEnd = stop;
                if (stop < end && *stop == '\n' && stop > column && stop[-1] == '\r') {
                    --columnEnd;
                }
                const std::string_view bytes(column, static_cast<std::size_t>(columnEnd - column));
                value = trimSpaces(bytes, source);
                keep = keepEmpty || !bytes.empty();
            }
            if (stop < end && *stop == separator) {
                if (index >= first) {
                    rows.addIf(value, keep);
                }
                ++index;
                column = stop + 1;
                continue;
            }
            if (stop == end && (stopped_ || !atEnd_)) {
                return cutShort(StreamedRecords::Incomplete);
            }
            // A record yields rows only when it holds a separator.
            if (index > 0 && index >= first) {
                rows.addIf(value, keep);
            }
            lineEnd = stop;
            break;
        }
        if (!rewrites_.empty()) {
            applyRewrites();
        }
        if (columns_.markLineEnds && (lineEnd < end || endsWithBreak(end, source))) {
            rows.addIf(lineEndMark(source), true);
        }
        rows.commit();
        record = lineEnd < end ? lineEnd + 1 : end;
        const auto done = static_cast<std::size_t>(record - text_);
        if (overflow) {
            return {StreamedRecords::Overflow, done};
        }
        if (done >= pauseAt) {
            return {StreamedRecords::Pause, done};
        }
    }
    return {StreamedRecords::Text, static_cast<std::size_t>(end - text_)};
}

// The first byte of `kKinds` in [from, to), or `to`; also `to` when a long record was
// given up on the way.
template <ScanLevel kLevel, int kKinds>
inline const char* RecordStream::next(Window& window, const char* from, const char* to) {
    while (from < to) {
        const std::uintptr_t skip =
            reinterpret_cast<std::uintptr_t>(from) - reinterpret_cast<std::uintptr_t>(window.base);
        if (skip >= kWindow) {
            if (!classify<kLevel>(window, from)) {
                return to;
            }
            continue;
        }
        std::uint64_t bits = 0;
        if constexpr ((kKinds & Separators) != 0) {
            bits |= window.bits[0];
        }
        if constexpr ((kKinds & Quotes) != 0) {
            bits |= window.bits[1];
        }
        if constexpr ((kKinds & LineFeeds) != 0) {
            bits |= window.bits[2];
        }
        bits >>= skip;
        if (bits != 0) {
            return std::min(from + std::countr_zero(bits), to);
        }
        from = window.base + kWindow;
    }
    return to;
}

// The line feed that ends the record, from the column at `column` on, found 64 bytes at a
// time as completeRecords finds it; null where that cannot tell: where a quote opens other
// than right after a separator, a line feed or the quote that closed a value, where a quoted
// value may reach the bound, and where the text ends first.
template <ScanLevel kLevel>
inline const char* RecordStream::lineEndAfter(Window& window, const char* column) {
    if (columns_.bound < kWindow) {
        return nullptr;
    }
    bool inside = false;         // the window starts inside a quoted value
    const char* open = nullptr;  // then that value's opening quote
    // Whether the byte before the window ends a column (the one before `column` does), and
    // whether it is a quote.
    std::uint64_t endsBefore = 1;
    std::uint64_t quoteBefore = 0;
    for (const char* at = column; at < end_; at = window.base + kWindow) {
        auto skip =
            reinterpret_cast<std::uintptr_t>(at) - reinterpret_cast<std::uintptr_t>(window.base);
        if (skip >= kWindow) {
            if (!classify<kLevel>(window, at)) {
                return nullptr;
            }
            skip = 0;
        }
        if (inside && static_cast<std::size_t>(window.base + kWindow - open) > columns_.bound) {
            return nullptr;
        }
        const std::uint64_t from = ~std::uint64_t{0} << skip;
        const std::uint64_t quotes = window.bits[1] & from;
        std::uint64_t parity = 0;
        if constexpr (kLevel == ScanLevel::Avx2) {
            parity = runningParityClmul(quotes);
        } else {
            parity = runningParity(quotes);
        }
        const std::uint64_t quoted = inside ? ~parity : parity;
        const std::uint64_t opening = quotes & quoted;
        const std::uint64_t ends = window.bits[0] | window.bits[1] | window.bits[2];
        if ((opening & ~(ends << 1 | (skip == 0 ? endsBefore : 0))) != 0) {
            return nullptr;
        }
        const std::uint64_t breaks = window.bits[2] & from & ~quoted;
        if (breaks != 0) {
            return window.base + std::countr_zero(breaks);
        }
        if (static_cast<std::size_t>(end_ - window.base) <= kWindow) {
            return nullptr;
        }
        inside = (quoted >> 63) != 0;
        const std::uint64_t firstQuotes = opening & ~(window.bits[1] << 1 | quoteBefore);
        if (inside && firstQuotes != 0) {
            open = window.base + kWindow - 1 - std::countl_zero(firstQuotes);
        }
        endsBefore = ends >> 63;
        quoteBefore = window.bits[1] >> 63;
    }
    return nullptr;
}

// Takes the separators and line feeds from `from` on as the events still to come.
template <ScanLevel kLevel>
inline void RecordStream::sync(Window& window, const char* from) {
    if (from >= end_) {
        window.base = end_;
        window.events = 0;
        return;
    }
    auto skip =
        reinterpret_cast<std::uintptr_t>(from) - reinterpret_cast<std::uintptr_t>(window.base);
    if (skip >= kWindow) {
        if (!classify<kLevel>(window, from)) {
            return;
        }
        skip = 0;
    }
    window.events = (window.bits[0] | window.bits[2]) >> skip << skip;
}

// Takes the next separator or line feed to come, or the text's end.
template <ScanLevel kLevel>
inline const char* RecordStream::nextEvent(Window& window) {
    while (window.events == 0) {
        if (static_cast<std::size_t>(end_ - window.base) <= kWindow ||
            !classify<kLevel>(window, window.base + kWindow)) {
            return end_;
        }
        window.events = window.bits[0] | window.bits[2];
    }
    const char* const at = window.base + std::countr_zero(window.events);
    window.events &= window.events - 1;
    return at;
}

// Where a record from `record` on asks first.
const char* RecordStream::askFrom(const char* record) const {
    return static_cast<std::size_t>(end_ - record) > stretch_ ? record + stretch_ : end_;
}

// Classifies the 64 bytes from `at`, those before the text's end alone. False when a long
// record asked there and was given up.
template <ScanLevel kLevel>
inline bool RecordStream::classify(Window& window, const char* at) {
    if (at >= window.askAt) {
        if (!keepCutting()) {
            window.base = end_;
            window.events = 0;
            return false;
        }
        window.askAt = askFrom(at);
    }
    window.base = at;
    const auto count = std::min(static_cast<std::size_t>(end_ - at), kWindow);
    const char bytes[3] = {columns_.separator, kQuote, '\n'};
#ifdef __SSE2__
    if constexpr (kLevel != ScanLevel::Bytes) {
        if (readableEnd_ - at >= static_cast<std::ptrdiff_t>(kWindow)) {
            const std::uint64_t kept =
                count < kWindow ? (std::uint64_t{1} << count) - 1 : ~std::uint64_t{0};
            for (int kind = 0; kind < 3; ++kind) {
                if constexpr (kLevel == ScanLevel::Avx2) {
                    window.bits[kind] = equalBitsAvx2(at, bytes[kind]) & kept;
                } else {
                    window.bits[kind] = equalBitsSse2(at, bytes[kind]) & kept;
                }
            }
            return true;
        }
    }
#endif
    for (int kind = 0; kind < 3; ++kind) {
        window.bits[kind] = 0;
        for (std::size_t i = 0; i < count; ++i) {
            window.bits[kind] |= std::uint64_t{at[i] == bytes[kind]} << i;
        }
    }
    return true;
}

template <ScanLevel kLevel>
inline RecordStream::Closing RecordStream::findClosing(Window& window, const char* open) {
    Closing closing;
    const bool inReach = columns_.bound <= static_cast<std::size_t>(end_ - open - 1);
    const char* const limit = inReach ? open + 1 + columns_.bound : end_;
    for (const char* from = open + 1;;) {
        const char* const at = next<kLevel, Quotes>(window, from, limit);
        if (at >= limit) {
            closing.failure =
                inReach || atEnd_ ? StreamedRecords::Record : StreamedRecords::Incomplete;
            return closing;
        }
        if (at + 1 < end_ && at[1] == kQuote) {
            ++closing.doubled;
            from = at + 2;
            continue;
        }
        if (at + 1 == end_ && !atEnd_) {
            closing.failure = StreamedRecords::Incomplete;
            return closing;
        }
        closing.close = at;
        return closing;
    }
}

// The first byte from `at` on that is not a space, looked for eight bytes at once where
// they may be read.
const char* RecordStream::skipSpaces(const char* at) const {
    constexpr std::ptrdiff_t kWord = 8;
    if (std::endian::native == std::endian::little && readableEnd_ - at >= kWord) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, kWord);
        word ^= 0x2020202020202020;
        if (word != 0) {
            return at + std::countr_zero(word) / 8;
        }
    }
    while (at < end_ && *at == ' ') {
        ++at;
    }
    return at;
}

// Whether the quote at `at` begins a column: only spaces lie between it and the separator
// before it, or the start of its record.
bool RecordStream::opensColumn(const char* at, const char* record) const {
    while (at > record && at[-1] == ' ') {
        --at;
    }
    return at == record || at[-1] == columns_.separator;
}

[[gnu::noinline]] bool RecordStream::keepCutting() {
    stopped_ = !keepCutting_();
    return !stopped_;
}

[[gnu::noinline]] void RecordStream::applyRewrites() {
    for (const Rewrite& r : rewrites_) {
        writeQuotedValue(r.open, r.close, r.afterEnd);
    }
    rewrites_.clear();
}

}  // namespace culvex
