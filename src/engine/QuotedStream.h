#pragma once

#include "engine/ByteScan.h"
#include "engine/ResultsSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace culvex {

// Rows on their way to a sink, handed on only once the record they belong to is complete,
// so that the rows of a record cut short can be taken back. The rows lie within `source`
// (of at most 4 GiB), which must stay valid until the next flush; they are kept and handed
// on as spans of it.
class RecordRows {
public:
    RecordRows(ResultsSink& sink, std::string_view source);
    RecordRows(const RecordRows&) = delete;
    RecordRows& operator=(const RecordRows&) = delete;

    // Adds the row only when `keep` holds, written either way as RowBatch::addIf does.
    void addIf(std::string_view row, bool keep) {
        if (count_ == rows_.size()) {
            makeRoom();
        }
        const auto begin = static_cast<std::uint32_t>(row.data() - source_.data());
        rows_[count_] = {begin, begin + static_cast<std::uint32_t>(row.size())};
        count_ += keep ? 1 : 0;
    }
    // Room for `more` rows (at most 64) from end() on, written there and counted with
    // end(at), as addIf adds them.
    RowSpan* room(std::size_t more) {
        if (rows_.size() - count_ < more) {
            makeRoom();
        }
        return end();
    }
    RowSpan* end() { return rows_.data() + count_; }
    void end(RowSpan* at) { count_ = static_cast<std::size_t>(at - rows_.data()); }
    // The rows added so far belong to complete records.
    void commit() { committed_ = count_; }
    // Takes back the rows added since the last commit.
    void dropUncommitted() { count_ = committed_; }
    // Hands the committed rows to the sink.
    void flush();
    std::string_view source() const { return source_; }

private:
    void makeRoom();

    ResultsSink& sink_;
    std::string_view source_;
    std::vector<RowSpan> rows_;
    std::size_t count_ = 0;
    std::size_t committed_ = 0;
};

// The columns whose rows the records yield, for records whose rows are found in one pass:
// a separator of one byte that is not a space, a quote, LF or CR, and columns from a
// number to a number or to the last.
struct StreamedColumns {
    char separator = ',';
    int first = 0;  // columns before it yield no rows
    int last = 0;   // past it, only the record's end is looked for
    // A column past `last` means more columns than the index holds: the record overflows.
    bool overflowPastLast = false;
    bool keepEmpty = false;
    bool markLineEnds = false;
    std::size_t bound = 0;  // how far a quote may be from its closing quote
    ScanLevel level = ScanLevel::Bytes;
};

// Where and why RecordStream::run ended.
struct StreamedRecords {
    enum End {
        Text,        // every record of the text is done
        Pause,       // the record that reaches the pause point is done
        Overflow,    // that record overflowed the index: it yielded no rows
        Record,      // the record at `done` needs to be cut into columns (a quote left open)
        Incomplete,  // the record at `done` runs past the text, which is not the source's end
        Stopped,     // asked inside a long record, the caller said not to go on
    } end = Text;
    std::size_t done = 0;  // the bytes of the records done
};

// Cuts records with quoted fields (as splitQuoted does) and adds their rows as it finds
// the columns, in one pass that finds separators, quotes and line feeds 64 bytes at a time.
// A quoted value that differs from its bytes is written over them once its record is
// known to be complete.
class RecordStream {
public:
    // The records of text[0, size) and, for wide loads, the bytes up to `readableEnd`.
    // A record longer than `stretch` asks `keepCutting` after every `stretch` bytes.
    RecordStream(const StreamedColumns& columns, char* text, std::size_t size, bool atEnd,
                 const char* readableEnd, std::size_t stretch, std::function<bool()> keepCutting);

    // Adds the rows of the records from `from` on to `rows`, committing them record by
    // record, until one of the ends above; `pauseAt` is the first record end that pauses.
    StreamedRecords run(std::size_t from, std::size_t pauseAt, RecordRows& rows);

private:
    enum Kind : int { Separators = 1, Quotes = 2, LineFeeds = 4 };
    // A quoted value's end; `close` is null when the quote closes nowhere in reach.
    struct Closing {
        const char* close = nullptr;
        std::size_t doubled = 0;  // how many `""` the value holds
        StreamedRecords::End failure = StreamedRecords::Record;
    };
    // A value to be written over its bytes: from `open` on, the bytes between the quotes
    // with `""` as `"`, then the text after the closing quote up to `afterEnd`.
    struct Rewrite {
        char* open;
        const char* close;
        const char* afterEnd;
    };

    template <ScanLevel kLevel>
    StreamedRecords runAt(std::size_t from, std::size_t pauseAt, RecordRows& rows);
    StreamedRecords runAvx2(std::size_t from, std::size_t pauseAt, RecordRows& rows);
    StreamedRecords runSse2(std::size_t from, std::size_t pauseAt, RecordRows& rows);
    StreamedRecords runBytes(std::size_t from, std::size_t pauseAt, RecordRows& rows);

    // The bytes classified last, kept in the loop's own variables rather than in the
    // object, which the rows written might alias.
    struct Window {
        const char* base = nullptr;   // 64 bytes from here, up to the text's end
        std::uint64_t bits[3] = {};   // separators, quotes, line feeds
        std::uint64_t events = 0;     // the separators and line feeds still to come
        const char* askAt = nullptr;  // the long record being cut asks here next
    };

    template <ScanLevel kLevel, int kKinds>
    const char* next(Window& window, const char* from, const char* to);
    template <ScanLevel kLevel>
    bool classify(Window& window, const char* at);
    template <ScanLevel kLevel>
    void sync(Window& window, const char* from);
    template <ScanLevel kLevel>
    const char* nextEvent(Window& window);
    const char* askFrom(const char* record) const;
    template <ScanLevel kLevel>
    Closing findClosing(Window& window, const char* open);
    template <ScanLevel kLevel>
    const char* lineEndAfter(Window& window, const char* column);
    const char* skipSpaces(const char* at) const;
    bool opensColumn(const char* at, const char* record) const;
    bool keepCutting();
    void applyRewrites();

    StreamedColumns columns_;
    char* text_;
    const char* end_;
    bool atEnd_;
    const char* readableEnd_;
    std::size_t stretch_;
    std::function<bool()> keepCutting_;
    bool stopped_ = false;
    std::vector<Rewrite> rewrites_;
};

}  // namespace culvex
