#pragma once

#include "engine/LineSettings.h"
#include "engine/QuotedFields.h"
#include "engine/QuotedStream.h"
#include "engine/ResultsSink.h"
#include "engine/Separator.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace culvex {

// The column indexes are 16-bit. These are the places where a line's index does not fit.
enum class IndexOverflow : std::uint8_t {
    StartNumber = 1,    // the start number's index
    StartPastLast = 2,  // one past the last column, where the start-marker search begins
    EndNumber = 4,      // the end number's index
    EndScan = 8,        // the last column, where the end-marker search begins
    LastColumn = 16,    // the last column, as the end of every column
};

// The overflows met on one line, as a set.
class LineOverflows {
public:
    void add(IndexOverflow what) { bits_ |= static_cast<std::uint8_t>(what); }
    bool has(IndexOverflow what) const { return (bits_ & static_cast<std::uint8_t>(what)) != 0; }
    bool any() const { return bits_ != 0; }
    // The kinds met, as the sum of their values.
    std::uint8_t bits() const { return bits_; }

private:
    std::uint8_t bits_ = 0;
};

// Turns one line into result rows: a line that passes the separator test is cut into
// columns, the start and end columns are found, and every non-empty column from start to
// end is appended with its outer spaces (U+0020 only) removed. A line whose index
// overflowed yields no rows.
class LineExtractor {
public:
    // Lines with more columns than this have a last index (or one past it) that does not
    // fit the 16-bit index.
    static constexpr std::size_t kMaxColumns = 32767;

    LineExtractor(Separator separator, LineSettings settings);

    // Adds the line's rows to `rows`. A line longer than `cut`'s stretch is cut stretch by
    // stretch, asking `cut` between them whether to go on; a line it gave up yields no rows.
    LineOverflows extract(std::string_view line, RowBatch& rows, LongLineCut* cut = nullptr);

    // Whether runs of whole lines may be cut at once by cutLines(): a separator of at most
    // LineBlocks::kPadding bytes without a line end's, columns that go out as they are found (every
    // column, or the start and end by number) and bytes compared in vectors.
    bool cutsRuns() const { return cutsRuns_; }
    static constexpr std::size_t kRunStart = 8;
    // Cuts the lines of `text` from `from` (a line's start, at least kRunStart bytes into
    // it) up to `to` (just past a LF, or the end of `text`) and adds their rows to `rows`,
    // as extract() adds each line's;
    // `rows` holds spans of a source that begins with `text`. Stops at the start of a line
    // with more columns or rows than it takes at once and returns where that line starts,
    // none of its rows added; returns `to` when every line is cut.
    std::size_t cutLines(std::string_view text, std::size_t from, std::size_t to,
                         SpanBatch& rows) const;

    // Whether cutLines() may be asked to write the rows as bytes instead, with writeLines():
    // every column, a one-byte separator, no line-end marks, and bytes compared 64 at a
    // time.
    bool writesLines() const { return writesLines_; }
    // Cuts the lines as cutLines() does and writes each row and a LF to `out`, counting
    // the rows in `rows`; the text must be followed by LineBlocks::kPadding readable bytes.
    // Stops at the start of a line too long to be sure of its columns' count and returns
    // where it starts, nothing of it written.
    std::size_t writeLines(std::string_view text, std::size_t from, std::size_t to, RowBytes& out,
                           std::size_t& rows) const;

    // Whether the file is cut into records with quoted fields rather than into lines.
    bool quoted() const { return settings_.quoted; }
    // Cuts the record at the start of `text` as splitQuoted does and adds its rows to
    // `rows` as extract() adds a line's, the overflows met to `overflows`. A record that
    // is not complete adds nothing. The record returned tells where it ends, whether it is
    // complete and whether a quote was left open.
    QuotedRecord extractRecord(char* text, std::size_t size, bool atEnd, RowBatch& rows,
                               LineOverflows& overflows);
    // The columns whose rows records yield when they can be cut in one pass (RecordStream),
    // or nothing when each record must be cut into columns first.
    std::optional<StreamedColumns> streamedColumns() const;
    // Where the last complete record of `text` ends (0: none is), its bytes left as they
    // are; `readable` holds the bytes that may be read.
    std::size_t recordsEnd(char* text, std::size_t size, bool atEnd, std::string_view readable);
    // Where the record at the start of `text` ends (past its line break), its bytes left
    // as they are; 0 while it is not complete. The walk starts at `from`: 0, or what an
    // earlier call on fewer bytes of the same record left there (the quote whose column
    // those bytes cut), so that a long record read on block by block is walked about once.
    std::size_t recordEnd(char* text, std::size_t size, bool atEnd, std::string_view readable,
                          std::size_t& from);
    // Called before the records of each block: what was learnt of the last one's bytes
    // goes.
    void startBlock() {
        if (scanner_) {
            scanner_->startBlock();
        }
    }

private:
    struct Range {
        int start = 0;
        int end = 0;
    };
    bool readsAsUtf8(std::string_view line, LongLineCut* cut) const;
    const Separator& lineSeparator() const { return utf8Line_ ? utf8Separator_ : separator_; }
    LineOverflows extractColumns(std::string_view line, RowBatch& rows, LongLineCut* cut);
    static void markLineEnd(std::string_view line, RowBatch& rows);
    bool streamsRows(std::string_view line) const;
    void streamRows(std::string_view line, RowBatch& rows) const;
    template <ScanLevel kLevel>
    void streamRowsAt(std::string_view line, RowBatch& rows) const;
    void streamRowsAvx2(std::string_view line, RowBatch& rows) const;
    void streamRowsSse2(std::string_view line, RowBatch& rows) const;
    void streamRowsBytes(std::string_view line, RowBatch& rows) const;
    bool runsOfLines() const;
    // kCounts: the columns are counted, for a range that does not take every column.
    template <ScanLevel kLevel, bool kToLast, bool kCounts, bool kOneByte>
    std::size_t cutLinesAt(std::string_view text, std::size_t from, std::size_t to,
                           SpanBatch& rows) const;
    template <ScanLevel kLevel>
    std::size_t cutLinesAt(std::string_view text, std::size_t from, std::size_t to,
                           SpanBatch& rows) const;
    std::size_t writeLinesAvx512(std::string_view text, std::size_t from, std::size_t to,
                                 RowBytes& out, std::size_t& rows) const;
    std::size_t cutLinesAvx512(std::string_view text, std::size_t from, std::size_t to,
                               SpanBatch& rows) const;
    std::size_t cutLinesAvx2(std::string_view text, std::size_t from, std::size_t to,
                             SpanBatch& rows) const;
    std::size_t cutLinesSse2(std::string_view text, std::size_t from, std::size_t to,
                             SpanBatch& rows) const;
    Range findRange(LineOverflows& overflows) const;
    int findStartByMarker(LineOverflows& overflows) const;
    int findEndByMarker(int start, LineOverflows& overflows) const;
    void appendRange(Range range, RowBatch& rows) const;
    void appendQuotedRange(Range range, RowBatch& rows) const;
    std::size_t columnsWanted() const;
    std::optional<std::size_t> quotelessEnd(const char* text, std::size_t size, bool atEnd,
                                            std::string_view readable);
    // The separator of the record at `text`, with the scanner set up for the text.
    const Separator& recordSeparator(const char* text, std::size_t size, std::string_view readable);

    Separator separator_;
    Separator utf8Separator_;
    LineSettings settings_;
    // Whether a typed text differs in UTF-8, so that each line's bytes decide its reading.
    bool checksLines_ = false;
    bool wideStartMarker_ = false;  // a marker in use that is not ASCII
    bool wideEndMarker_ = false;
    bool utf8Line_ = false;  // how the current line is read
    ScanLevel level_;
    bool cutsRuns_ = false;
    bool writesLines_ = false;
    bool toLast_ = false;         // every column up to each line's last
    bool fromFirst_ = false;      // every column from each line's first
    std::size_t secondByte_ = 0;  // of the separator, compared with its first one
    std::vector<std::string_view> columns_;
    std::vector<QuotedColumn> quotedColumns_;
    std::optional<QuotedScanner> scanner_;  // when it serves the separator
};

// A column without its leading and trailing spaces.
inline std::string_view trimSpaces(std::string_view column) {
    std::size_t begin = 0;
    std::size_t end = column.size();
    while (begin < end && column[begin] == ' ') {
        ++begin;
    }
    while (end > begin && column[end - 1] == ' ') {
        --end;
    }
    return column.substr(begin, end - begin);
}

// The same for a column that lies within `within`. Each end is examined eight bytes at
// once, which may read outside the column but never outside `within`; this avoids a
// hard-to-predict loop per column.
inline std::string_view trimSpaces(std::string_view column, std::string_view within) {
    constexpr std::ptrdiff_t kWord = 8;
    constexpr std::uint64_t kSpaces = 0x2020202020202020;
    const char* const begin = column.data();
    const char* const end = begin + column.size();
    if (std::endian::native != std::endian::little ||
        within.data() + within.size() - begin < kWord || end - within.data() < kWord) {
        return trimSpaces(column);
    }
    std::uint64_t head;
    std::uint64_t tail;
    std::memcpy(&head, begin, kWord);
    std::memcpy(&tail, end - kWord, kWord);
    head ^= kSpaces;
    tail ^= kSpaces;
    if (head == 0 || tail == 0) {
        return trimSpaces(column);  // eight spaces at one end: rare, take the plain way
    }
    // A byte that is not a space leaves a non-zero byte; the first one from each end
    // counts the spaces there.
    const std::size_t lead =
        std::min<std::size_t>(static_cast<std::size_t>(std::countr_zero(head)) / 8, column.size());
    const std::size_t trail = std::min<std::size_t>(
        static_cast<std::size_t>(std::countl_zero(tail)) / 8, column.size() - lead);
    return column.substr(lead, column.size() - lead - trail);
}

}  // namespace culvex
