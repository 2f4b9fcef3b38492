#pragma once

#include "engine/ByteScan.h"
#include "engine/Separator.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace culvex {

// One column of a record cut with quoted fields: for a plain column its bytes as they
// stand (outer spaces still on), for a quoted one its value, already without quotes,
// doubled quotes and trailing spaces.
struct QuotedColumn {
    std::string_view text;
    bool quoted = false;
};

// Where a record cut with quoted fields ends.
struct QuotedRecord {
    std::size_t size = 0;   // the record's bytes, without its line break
    std::size_t next = 0;   // where the next record starts: past the line break
    bool passes = false;    // a separator outside quotes (or, with the empty separator, bytes)
    bool leftOpen = false;  // a quote not closed within the bound was read as plain text
    bool complete = true;   // false: the bytes end inside a quote that may close further on
    std::size_t open = 0;   // when not complete: that quote, which opens a column
};

// Finds separators, quotes and line feeds in a block 64 bytes at a time, for a separator
// of one byte other than `"`, LF and CR; the windows it classified stay in hand from one
// record to the next.
class QuotedScanner {
public:
    // Whether a separator can be found by this scanner.
    static bool serves(const Separator& separator);

    QuotedScanner(char separator, ScanLevel level) : separator_(separator), level_(level) {}
    char separator() const { return separator_; }
    ScanLevel level() const { return level_; }
    // The bytes up to here may be read.
    const char* readableEnd() const { return readableEnd_; }
    // Forgets what it classified: the bytes at the same places are another block's now.
    void startBlock() { base_ = nullptr; }
    // The block's text ends at `end`, and the bytes up to `readableEnd` may be read.
    void within(const char* end, const char* readableEnd) {
        if (end != end_) {
            base_ = nullptr;
        }
        end_ = end;
        readableEnd_ = readableEnd;
    }

    enum Kind { Separators = 1, Quotes = 2, LineFeeds = 4 };
    // The first byte of `kinds` in [from, to), or `to`.
    const char* next(const char* from, const char* to, int kinds);

private:
    void classify(const char* at);

    char separator_;
    ScanLevel level_;
    const char* readableEnd_ = nullptr;
    const char* end_ = nullptr;
    const char* base_ = nullptr;  // the classified window: 64 bytes from here, up to end_
    std::uint64_t bits_[3] = {};
};

// Cuts the record at the start of `text` into `columns` (cleared first). After its
// leading spaces, a column that begins with `"` is quoted: separators and line breaks up
// to the closing quote belong to it, `""` stands for one `"`, and the text from the
// closing quote to the next separator is kept. The record ends at the first LF outside
// quotes (a CR before it is part of the break). A quote with no closing quote within
// `bound` bytes after it, or before the end of the text when `atEnd`, opens nothing: the
// rest of its line is cut as plain text. Without `atEnd`, the text must end with a LF.
//
// A quoted value that differs from its bytes is written over them, from its opening quote
// on, so that every column stays a view of `text`.
// With a scanner that serves the separator, the search runs on its windows, and a record
// may be cut into `limit` columns only when that many are wanted (the last of them ending
// at its separator); then the rest is walked through for quotes and the record's end alone.
// Without `rewrite`, only where the record ends counts: the text is left as it is.
QuotedRecord splitQuoted(char* text, std::size_t size, bool atEnd, const Separator& separator,
                         std::size_t bound, std::vector<QuotedColumn>& columns,
                         QuotedScanner* scanner = nullptr,
                         std::size_t limit = static_cast<std::size_t>(-1), bool rewrite = true);

// Bit i is set when an odd number of the bits up to i are: for the quotes of 64 bytes, the
// bytes from each opening quote up to its closing quote.
inline std::uint64_t runningParity(std::uint64_t bits) {
    for (int shift = 1; shift < 64; shift *= 2) {
        bits ^= bits << shift;
    }
    return bits;
}

// Writes a quoted value over its bytes from its opening quote at `open` on: the bytes up
// to its closing quote at `close` with `""` as `"`, then the text after that quote up to
// `afterEnd`. Returns where the value ends.
char* writeQuotedValue(char* open, const char* close, const char* afterEnd);

// Where the last complete record of `text` ends (its size at the source's end, 0 when no
// record is complete), as splitQuoted would cut them, for a separator other than a space
// that the scanner serves. walkRecords walks from quote to quote; completeRecords takes
// 64 bytes at a time where their quotes all open columns right after a separator or a line
// end, and walks the records where they do not.
std::size_t walkRecords(char* text, std::size_t size, bool atEnd, const Separator& separator,
                        std::size_t bound, QuotedScanner& scanner);
std::size_t completeRecords(char* text, std::size_t size, bool atEnd, const Separator& separator,
                            std::size_t bound, QuotedScanner& scanner);

}  // namespace culvex
