#include "engine/QuotedFields.h"

#include <algorithm>
#include <cstring>

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
                 std::size_t bound, std::vector<QuotedColumn>& columns)
        : text_(text),
          size_(size),
          atEnd_(atEnd),
          separator_(separator),
          bound_(bound),
          columns_(columns) {}

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
        }
        record.passes = separator_.findable()
                            ? sawSeparator
                            : separator_.passes(std::string_view(text_, record.size));
        applyRewrites();
        return record;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Where a column ends: at a separator, or at its line's end (before a CR LF's CR).
    struct Stop {
        std::size_t at = kNone;
        bool separator = false;
    };

    // The LF that ends the line holding `pos`, or the text's size.
    std::size_t lineEnd(std::size_t pos) {
        if (lineEnd_ == kNone || pos > lineEnd_) {
            lineEnd_ = findByte(text_, pos, size_, '\n');
        }
        return lineEnd_;
    }

    Stop columnStop(std::size_t from) {
        std::size_t end = lineEnd(from);
        if (end < size_ && end > from && text_[end - 1] == '\r') {
            --end;
        }
        const std::size_t at = separator_.find(std::string_view(text_, end), from);
        return at == std::string_view::npos ? Stop{end, false} : Stop{at, true};
    }

    Closing findClosing(std::size_t open) {
        const std::size_t reach = open + 1 + bound_;
        const std::size_t limit = std::min(size_, reach);
        Closing closing;
        for (std::size_t from = open + 1;;) {
            const std::size_t at = findByte(text_, from, limit, kQuote);
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
            char* out = text_ + r.open;
            for (std::size_t i = r.open + 1; i < r.close; ++i) {
                *out++ = text_[i];
                if (text_[i] == kQuote) {
                    ++i;
                }
            }
            const std::size_t after = r.afterEnd - r.close - 1;
            std::memmove(out, text_ + r.close + 1, after);
            out += after;
            columns_[r.column].text =
                std::string_view(text_ + r.open, static_cast<std::size_t>(out - (text_ + r.open)));
        }
    }

    char* text_;
    std::size_t size_;
    bool atEnd_;
    const Separator& separator_;
    std::size_t bound_;
    std::vector<QuotedColumn>& columns_;
    std::vector<Rewrite> rewrites_;
    std::size_t lineEnd_ = kNone;
    std::size_t plainUntil_ = 0;  // a column that starts before this is plain
};

}  // namespace

QuotedRecord splitQuoted(char* text, std::size_t size, bool atEnd, const Separator& separator,
                         std::size_t bound, std::vector<QuotedColumn>& columns) {
    return RecordCutter(text, size, atEnd, separator, bound, columns).cut();
}

}  // namespace culvex
