#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace culvex {

class RowPage;

// A row as the bytes [begin, end) of the text it was cut from: half the size of a view,
// for rows kept a while before they are handed on.
struct RowSpan {
    std::uint32_t begin;
    std::uint32_t end;
};

// Bytes written row after row, kept from block to block.
class RowBytes {
public:
    std::string_view view() const { return {bytes_.get(), size_}; }
    std::size_t size() const { return size_; }
    void clear() { size_ = 0; }
    // Room for `more` bytes after those kept; what is written there counts once added().
    char* room(std::size_t more) {
        if (capacity_ - size_ < more) {
            const std::size_t capacity = std::max(2 * capacity_, size_ + more);
            auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
            std::copy_n(bytes_.get(), size_, bytes.get());
            bytes_ = std::move(bytes);
            capacity_ = capacity;
        }
        return bytes_.get() + size_;
    }
    void added(std::size_t count) { size_ += count; }
    // Drops the bytes after the first `size`.
    void keepFirst(std::size_t size) { size_ = std::min(size_, size); }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// How a sink writes rows as bytes, the same for every row wherever it comes, so that the
// threads that cut blocks can write their rows' bytes themselves.
class RowFormat {
public:
    virtual ~RowFormat() = default;
    // Appends the bytes of the rows, spans of `source` (which may be read beyond a row),
    // to `out`. Called on any thread.
    virtual void write(std::span<const RowSpan> rows, std::string_view source,
                       RowBytes& out) const = 0;
    // Whether each row is written as its own bytes and one LF, so that a cut may write
    // the rows itself as it finds them.
    virtual bool rowThenLineFeed() const { return false; }
};

// Where the extraction run appends result rows (bytes in the input's code page). Rows
// reach the view when published, so the list grows in batches rather than row by row.
class ResultsSink {
public:
    virtual ~ResultsSink() = default;
    virtual void append(std::string_view row) = 0;
    // Appends the rows in order, exactly as `append` one by one would. Every row lies
    // within `source`, which a sink may read beyond a row's end.
    virtual void appendBatch(std::span<const std::string_view> rows, std::string_view source) {
        static_cast<void>(source);
        for (const std::string_view row : rows) {
            append(row);
        }
    }
    // Appends the rows source[begin, end) in order, exactly as `appendBatch` would; the
    // spans are increasing ranges of `source`.
    virtual void appendSpans(std::span<const RowSpan> rows, std::string_view source) {
        constexpr std::size_t kViews = 512;
        std::array<std::string_view, kViews> views;
        for (std::size_t first = 0; first < rows.size(); first += kViews) {
            const std::size_t count = std::min(kViews, rows.size() - first);
            for (std::size_t i = 0; i < count; ++i) {
                const RowSpan row = rows[first + i];
                views[i] = source.substr(row.begin, row.end - row.begin);
            }
            appendBatch({views.data(), count}, source);
        }
    }
    // The sink's format, when it writes rows as bytes that others may write for it and
    // hand over with appendWritten(); none by default.
    virtual const RowFormat* rowFormat() const { return nullptr; }
    // Takes `rows` rows as rowFormat() wrote them, `bytes`: the same as appending them.
    virtual void appendWritten(std::string_view bytes, std::size_t rows) {
        static_cast<void>(bytes);
        static_cast<void>(rows);
    }
    // Whether the sink keeps its rows in a results store that can take over pages of rows
    // cut elsewhere whole, with appendPage(); no by default.
    virtual bool takesPages() const { return false; }
    // Takes the page's rows, the same as appending them; the page may be left empty.
    virtual void appendPage(RowPage& page) { static_cast<void>(page); }
    virtual void publish() = 0;
    // The rows turned away since the last call because the sink was full; a sink without a
    // limit never turns rows away.
    virtual std::size_t takeRowsLeftOut() { return 0; }
};

// The engine's mark of a line's end among rows that lie within `source`: an empty row at
// the very end of `source`, where no column lies (a quoted column may hold a line break,
// so the mark cannot be told by its bytes).
inline std::string_view lineEndMark(std::string_view source) {
    return source.substr(source.size());
}
inline bool isLineEndMark(std::string_view row, std::string_view source) {
    return !source.empty() && row.data() == source.data() + source.size();
}

// Gathers rows on their way to a sink and hands them over a few hundred at a time, so
// that a row costs no call through the sink's interface. The rows are views into
// `source`, which must stay valid until the next flush.
class RowBatch {
public:
    RowBatch(ResultsSink& sink, std::string_view source) : sink_(sink), source_(source) {}
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

    void add(std::string_view row) {
        rows_[count_++] = row;
        if (count_ == kCapacity) {
            flush();
        }
    }
    // Adds the row only when `keep` holds. The row is written either way and the count
    // moves by `keep`, so that rows kept at random (empty columns) cost no mispredicted
    // branch.
    void addIf(std::string_view row, bool keep) {
        rows_[count_] = row;
        count_ += keep ? 1 : 0;
        if (count_ == kCapacity) {
            flush();
        }
    }
    // The bytes that every row lies within.
    std::string_view source() const { return source_; }
    // Hands every gathered row to the sink.
    void flush() {
        const std::size_t count = count_;
        count_ = 0;
        if (count > 0) {
            sink_.appendBatch({rows_.data(), count}, source_);
        }
    }

    static constexpr std::size_t kCapacity = 512;

private:
    ResultsSink& sink_;
    std::string_view source_;
    std::size_t count_ = 0;
    std::array<std::string_view, kCapacity> rows_;
};

// Gathers rows as spans of `source` (of at most 4 GiB) on their way to a sink, for a cut
// that runs over many lines at once and writes the spans itself. Only rows of whole lines
// are handed on before the end, so that the rows of the line being cut can be taken back.
class SpanBatch {
public:
    // Rows one line may add before the cut gives that line up to the way line by line,
    // and room for one more 64-byte step of rows and line-end marks after them.
    static constexpr std::size_t kLineRows = 1920;
    static constexpr std::size_t kCapacity = kLineRows + 128;

    SpanBatch(ResultsSink& sink, std::string_view source) : sink_(sink), source_(source) {}
    SpanBatch(const SpanBatch&) = delete;
    SpanBatch& operator=(const SpanBatch&) = delete;

    std::string_view source() const { return source_; }
    RowSpan* begin() { return rows_.data(); }
    // Where the rows end; set with end(at) by the one who writes them.
    RowSpan* end() { return rows_.data() + count_; }
    void end(RowSpan* at) { count_ = static_cast<std::size_t>(at - rows_.data()); }
    // Hands on the rows before `line` (the first row of the line being cut) and moves that
    // line's rows to the front; returns where they end.
    RowSpan* handOnBefore(RowSpan* line, RowSpan* end) {
        const std::size_t whole = static_cast<std::size_t>(line - rows_.data());
        if (whole > 0) {
            sink_.appendSpans({rows_.data(), whole}, source_);
        }
        RowSpan* const moved = std::copy(line, end, rows_.data());
        count_ = static_cast<std::size_t>(moved - rows_.data());
        return moved;
    }
    // Hands every row on.
    void flush() {
        if (count_ > 0) {
            sink_.appendSpans({rows_.data(), count_}, source_);
        }
        count_ = 0;
    }

private:
    ResultsSink& sink_;
    std::string_view source_;
    std::size_t count_ = 0;
    std::array<RowSpan, kCapacity> rows_;
};

}  // namespace culvex
