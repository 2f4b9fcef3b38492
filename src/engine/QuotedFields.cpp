#include "engine/QuotedFields.h"

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace culvex {
namespace {

constexpr char kQuote = '"';

// The first `what` in text[from, to), or `to`.
std::size_t findByte(const char* text, std::size_t from, std::size_t to, char what) {
    if (from >= to) {
        return to;
    }
    const void* hit = std::memchr(text + from, what, to - from);
    return hit == nullptr ? to : static_cast<std::size_t>(static_cast<const char*>(hit) - text);
}

// Where a quote's closing quote is, if it has one.
struct Closing {
    enum Kind { Found, LeftOpen, Incomplete } kind = Found;
    std::size_t at = 0;
    bool doubled = false;  // the value holds `""`
};

// A quoted value whose bytes differ from its value, to be written over once the record is
// known to be complete (an incomplete one is cut again from the next block).
struct Rewrite {
    std::size_t column;
    std::size_t open;
    std::size_t close;
    std::size_t afterEnd;  // the kept text after the closing quote ends here
};

class RecordCutter {
public:
    RecordCutter(char* text, std::size_t size, bool atEnd, const Separator& separator,
                 std::size_t bound, std::vector<QuotedColumn>& columns, QuotedScanner* scanner,
                 std::size_t limit, bool rewrite)
        : text_(text),
          size_(size),
          atEnd_(atEnd),
          separator_(separator),
          bound_(bound),
          columns_(columns),
          scanner_(scanner),
          limit_(scanner != nullptr && separator.bytes()[0] != ' ' ? limit : kNone),
          rewrite_(rewrite) {}

    QuotedRecord cut() {
        columns_.clear();
        QuotedRecord record;
        bool sawSeparator = false;
        std::size_t pos = 0;
        for (;;) {
            std::size_t first = pos;
            while (first < size_ && text_[first] == ' ') {
                ++first;
            }
            Stop stop;
            if (first >= plainUntil_ && first < size_ && text_[first] == kQuote) {
                const Closing closing = findClosing(first);
                if (closing.kind == Closing::Incomplete) {
                    record.complete = false;
                    record.open = first;
                    return record;
                }
                if (closing.kind == Closing::Found) {
                    stop = columnStop(closing.at + 1);
                    addQuoted(first, closing, stop.at);
                } else {
                    record.leftOpen = true;
                    plainUntil_ = lineEnd(first) + 1;
                }
            }
            if (stop.at == kNone) {
                stop = columnStop(pos);
                columns_.push_back({std::string_view(text_ + pos, stop.at - pos), false});
            }
            if (!stop.separator) {
                record.size = stop.at;
                record.next = std::min(lineEnd(stop.at) + 1, size_);
                break;
            }
            sawSeparator = true;
            pos = stop.at + separator_.bytes().size();
            if (columns_.size() == limit_) {
                if (!skipRest(pos, record)) {
                    return record;
                }
                break;
            }
        }
        record.passes = separator_.findable()
                            ? sawSeparator
                            : separator_.passes(std::string_view(text_, record.size));
        if (rewrite_) {
            applyRewrites();
        }
        return record;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Where a column ends: at a separator, or at its line's end (before a CR LF's CR).
    struct Stop {
        std::size_t at = kNone;
        bool separator = false;
    };

    // The first byte of `kinds` in [from, to), or `to`.
    std::size_t find(std::size_t from, std::size_t to, int kinds, char byte) {
        if (scanner_ != nullptr) {
            return static_cast<std::size_t>(scanner_->next(text_ + from, text_ + to, kinds) -
                                            text_);
        }
        return findByte(text_, from, to, byte);
    }

    // The LF that ends the line holding `pos`, or the text's size.
    std::size_t lineEnd(std::size_t pos) {
        if (lineEnd_ == kNone || pos > lineEnd_) {
            lineEnd_ = find(pos, size_, QuotedScanner::LineFeeds, '\n');
        }
        return lineEnd_;
    }

    Stop columnStop(std::size_t from) {
        if (scanner_ != nullptr) {
            return scannedStop(from);
        }
        std::size_t end = lineEnd(from);
        if (end < size_ && end > from && text_[end - 1] == '\r') {
            --end;
        }
        const std::size_t at = separator_.find(std::string_view(text_, end), from);
        return at == std::string_view::npos ? Stop{end, false} : Stop{at, true};
    }

    // Finds the end of a record whose columns from `from` on are not wanted, looking only
    // at quotes and line feeds. False when the record is not complete.
    bool skipRest(std::size_t from, QuotedRecord& record) {
        std::size_t outside = from;  // bytes from here on are outside quotes
        std::size_t at = from;
        for (;;) {
            at = find(at, size_, QuotedScanner::Quotes | QuotedScanner::LineFeeds, '\n');
            if (at == size_ || text_[at] == '\n') {
                break;
            }
            if (at < plainUntil_ || !opensColumn(at)) {
                ++at;
                continue;
            }
            const Closing closing = findClosing(at);
            if (closing.kind == Closing::Incomplete) {
                record.complete = false;
                record.open = at;
                return false;
            }
            if (closing.kind == Closing::LeftOpen) {
                record.leftOpen = true;
                plainUntil_ = lineEnd(at) + 1;
                at = lineEnd(at);
                break;
            }
            at = closing.at + 1;
            outside = at;
        }
        record.size = at < size_ && at > outside && text_[at - 1] == '\r' ? at - 1 : at;
        record.next = std::min(at + 1, size_);
        return true;
    }

    // Whether the quote at `at` begins a column: only spaces lie between it and the
    // separator before it, or the start of its record at `record`.
    bool opensColumn(std::size_t at, std::size_t record = 0) const {
        while (at > record && text_[at - 1] == ' ') {
            --at;
        }
        return at == record || text_[at - 1] == separator_.bytes()[0];
    }

public:
    // Where the last complete record ends, walking the text for quotes and line feeds
    // alone; only with a scanner and a separator other than a space.
    std::size_t completeRecords() {
        std::size_t record = 0;  // where the record being walked starts
        std::size_t at = 0;
        for (;;) {
            at = find(at, size_, QuotedScanner::Quotes | QuotedScanner::LineFeeds, '\n');
            if (at == size_) {
                return atEnd_ ? size_ : record;
            }
            if (text_[at] == '\n') {
                record = ++at;
                continue;
            }
            if (at < plainUntil_ || !opensColumn(at, record)) {
                ++at;
                continue;
            }
            const Closing closing = findClosing(at);
            if (closing.kind == Closing::Incomplete) {
                return record;
            }
            if (closing.kind == Closing::LeftOpen) {
                plainUntil_ = lineEnd(at) + 1;
                at = lineEnd(at);
                continue;
            }
            at = closing.at + 1;
        }
    }

private:
    // The same on the scanner's windows: a separator before the line's end, or that end.
    Stop scannedStop(std::size_t from) {
        std::size_t at = from;
        if (lineEnd_ == kNone || from > lineEnd_) {
            at = find(from, size_, QuotedScanner::Separators | QuotedScanner::LineFeeds, '\n');
            if (at < size_ && text_[at] != '\n') {
                return {at, true};
            }
            lineEnd_ = at;
        } else {
            at = find(from, lineEnd_, QuotedScanner::Separators, '\n');
            if (at < lineEnd_) {
                return {at, true};
            }
        }
        std::size_t end = lineEnd_;
        if (end < size_ && end > from && text_[end - 1] == '\r') {
            --end;
        }
        return {end, false};
    }

    Closing findClosing(std::size_t open) {
        const std::size_t reach = open + 1 + bound_;
        const std::size_t limit = std::min(size_, reach);
        Closing closing;
        for (std::size_t from = open + 1;;) {
            const std::size_t at = find(from, limit, QuotedScanner::Quotes, kQuote);
            if (at == limit) {
                closing.kind = limit == reach || atEnd_ ? Closing::LeftOpen : Closing::Incomplete;
                return closing;
            }
            if (at + 1 < size_ && text_[at + 1] == kQuote) {
                closing.doubled = true;
                from = at + 2;
                continue;
            }
            if (at + 1 == size_ && !atEnd_) {
                closing.kind = Closing::Incomplete;
                return closing;
            }
            closing.at = at;
            return closing;
        }
    }

    void addQuoted(std::size_t open, const Closing& closing, std::size_t stop) {
        std::size_t afterEnd = stop;
        while (afterEnd > closing.at + 1 && text_[afterEnd - 1] == ' ') {
            --afterEnd;
        }
        if (closing.doubled || afterEnd > closing.at + 1) {
            rewrites_.push_back({columns_.size(), open, closing.at, afterEnd});
        }
        columns_.push_back({std::string_view(text_ + open + 1, closing.at - open - 1), true});
    }

    // Writes each value from its opening quote on: the bytes between the quotes with `""`
    // as `"`, then the text after the closing quote.
    void applyRewrites() {
        for (const Rewrite& r : rewrites_) {
            char* const open = text_ + r.open;
            const char* const end = writeQuotedValue(open, text_ + r.close, text_ + r.afterEnd);
            columns_[r.column].text = std::string_view(open, static_cast<std::size_t>(end - open));
        }
    }

    char* text_;
    std::size_t size_;
    bool atEnd_;
    const Separator& separator_;
    std::size_t bound_;
    std::vector<QuotedColumn>& columns_;
    QuotedScanner* scanner_;
    std::size_t limit_;  // the columns wanted; the rest of the record is only walked through
    bool rewrite_;
    std::vector<Rewrite> rewrites_;
    std::size_t lineEnd_ = kNone;
    std::size_t plainUntil_ = 0;  // a column that starts before this is plain
};

}  // namespace

bool QuotedScanner::serves(const Separator& separator) {
    const std::string& bytes = separator.bytes();
    return separator.findable() && bytes.size() == 1 && bytes[0] != kQuote && bytes[0] != '\n' &&
           bytes[0] != '\r';
}

const char* QuotedScanner::next(const char* from, const char* to, int kinds) {
    constexpr std::ptrdiff_t kWindow = 64;
    while (from < to) {
        if (base_ == nullptr || from < base_ || from - base_ >= kWindow) {
            classify(from);
        }
        const auto skip = static_cast<unsigned>(from - base_);
        std::uint64_t bits = 0;
        for (int kind = 0; kind < 3; ++kind) {
            bits |= (kinds >> kind & 1) != 0 ? bits_[kind] : 0;
        }
        bits = bits >> skip << skip;
        if (bits != 0) {
            return std::min(base_ + std::countr_zero(bits), to);
        }
        from = base_ + kWindow;
    }
    return to;
}

// Classifies the 64 bytes from `at`, those before the end alone.
void QuotedScanner::classify(const char* at) {
    constexpr std::size_t kWindow = 64;
    base_ = at;
    const auto count = static_cast<std::size_t>(end_ - at);
    const char bytes[3] = {separator_, kQuote, '\n'};
#ifdef __SSE2__
    if (level_ != ScanLevel::Bytes && readableEnd_ - at >= static_cast<std::ptrdiff_t>(kWindow)) {
        std::uint64_t found[3] = {};
        for (std::size_t part = 0; part < kWindow; part += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part));
            for (int kind = 0; kind < 3; ++kind) {
                const auto mask = static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(bytes[kind]))));
                found[kind] |= std::uint64_t{mask} << part;
            }
        }
        const std::uint64_t kept =
            count < kWindow ? (std::uint64_t{1} << count) - 1 : ~std::uint64_t{0};
        for (int kind = 0; kind < 3; ++kind) {
            bits_[kind] = found[kind] & kept;
        }
        return;
    }
#endif
    const std::size_t n = std::min(count, kWindow);
    for (int kind = 0; kind < 3; ++kind) {
        bits_[kind] = 0;
        for (std::size_t i = 0; i < n; ++i) {
            bits_[kind] |= std::uint64_t{at[i] == bytes[kind]} << i;
        }
    }
}

char* writeQuotedValue(char* open, const char* close, const char* afterEnd) {
    char* out = open;
    for (const char* in = open + 1; in < close; ++in) {
        *out++ = *in;
        if (*in == kQuote) {
            ++in;
        }
    }
    const auto after = static_cast<std::size_t>(afterEnd - close - 1);
    std::memmove(out, close + 1, after);
    return out + after;
}

std::size_t walkRecords(char* text, std::size_t size, bool atEnd, const Separator& separator,
                        std::size_t bound, QuotedScanner& scanner) {
    scanner.within(text + size, scanner.readableEnd());
    std::vector<QuotedColumn> none;
    return RecordCutter(text, size, atEnd, separator, bound, none, &scanner, 0, false)
        .completeRecords();
}

QuotedRecord splitQuoted(char* text, std::size_t size, bool atEnd, const Separator& separator,
                         std::size_t bound, std::vector<QuotedColumn>& columns,
                         QuotedScanner* scanner, std::size_t limit, bool rewrite) {
    return RecordCutter(text, size, atEnd, separator, bound, columns, scanner, limit, rewrite)
        .cut();
}

}  // namespace culvex
