#include "cli/ResultsOutput.h"

#include "cli/SignalCleanup.h"
#include "engine/ResultsFormat.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace culvex::cli {
namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

constexpr std::size_t kRowMoveBytes = 32;

// Each row and LF, written by the threads that cut the blocks: short rows are copied in
// one fixed-size move where the source allows reading past a row.
class LinesFormat final : public RowFormat {
public:
    void write(std::span<const RowSpan> rows, std::string_view source,
               RowBytes& out) const override {
        const char* const base = source.data();
        const std::size_t size = source.size();
        for (std::size_t next = 0; next < rows.size();) {
            // Room for every row left as a short one; a longer row ends the stretch.
            char* const start = out.room((rows.size() - next) * (kRowMoveBytes + 1));
            char* at = start;
            for (; next < rows.size(); ++next) {
                const RowSpan row = rows[next];
                const std::size_t n = row.end - row.begin;
                if (n > kRowMoveBytes || size - row.begin < kRowMoveBytes) {
                    break;
                }
                std::memcpy(at, base + row.begin, kRowMoveBytes);
                at[n] = '\n';
                at += n + 1;
            }
            out.added(static_cast<std::size_t>(at - start));
            if (next < rows.size()) {
                const RowSpan row = rows[next++];
                const std::size_t n = row.end - row.begin;
                char* const longer = out.room(n + 1);
                std::memcpy(longer, base + row.begin, n);
                longer[n] = '\n';
                out.added(n + 1);
            }
        }
    }
    bool rowThenLineFeed() const override { return true; }
};

// Each row and LF, bytes as read. This is the hot path of a run, so rows are copied into
// a piece of its own in fixed-size moves where the source allows reading past a row.
class LinesSink final : public FormattedSink {
public:
    explicit LinesSink(ByteOutput& output)
        : FormattedSink(output), piece_(std::make_unique<char[]>(kPieceBytes)) {}
    void add(std::span<const std::string_view> rows, std::string_view source) override {
        addEach(rows, source, [](std::string_view row) { return row; });
    }
    // The workers' spans are copied straight from the block, without views in between.
    void appendSpans(std::span<const RowSpan> rows, std::string_view source) override {
        const char* const base = source.data();
        addEach(rows, source, [base](RowSpan row) {
            return std::string_view(base + row.begin, row.end - row.begin);
        });
        if (eager()) {
            flush();
        }
    }
    const RowFormat* rowFormat() const override {
        static const LinesFormat format;
        return &format;
    }
    void appendWritten(std::string_view bytes, std::size_t rows) override {
        handPiece();
        output().write(bytes);
        rows_ += rows;
    }
    void flush() override { handPiece(); }
    void finish() override { handPiece(); }

private:
    static constexpr std::size_t kMoveBytes = kRowMoveBytes;
    // The piece and its fill level are held in locals, so that the byte copies cannot be
    // taken to change them.
    template <class Row, class ViewOf>
    void addEach(std::span<const Row> rows, std::string_view source, ViewOf viewOf) {
        const char* const sourceEnd = source.data() + source.size();
        char* const piece = piece_.get();
        std::size_t used = used_;
        rows_ += rows.size();
        for (const Row& each : rows) {
            const std::string_view row = viewOf(each);
            const std::size_t n = row.size();
            if (used + n + kMoveBytes + 1 > kPieceBytes) {
                used_ = used;
                handPiece();
                used = 0;
                if (n + kMoveBytes + 1 > kPieceBytes) {
                    output().write(row);
                    output().write("\n");
                    continue;
                }
            }
            char* const at = piece + used;
            if (n <= kMoveBytes &&
                sourceEnd - row.data() >= static_cast<std::ptrdiff_t>(kMoveBytes)) {
                std::memcpy(at, row.data(), kMoveBytes);
            } else {
                std::memcpy(at, row.data(), n);
            }
            at[n] = '\n';
            used += n + 1;
        }
        used_ = used;
    }
    void handPiece() {
        if (used_ > 0) {
            output().write({piece_.get(), used_});
        }
        used_ = 0;
    }
    std::unique_ptr<char[]> piece_;
    std::size_t used_ = 0;
};

// The comma list; a row's line is known only when the next row comes or the run ends,
// so the latest row is held back.
class CommaSink final : public FormattedSink {
public:
    using FormattedSink::FormattedSink;
    void add(std::span<const std::string_view> rows, std::string_view) override {
        for (const std::string_view row : rows) {
            if (rows_++ > 0) {
                appendCommaLine(pending_, held_, false);
                handIfLarge();
            }
            held_.assign(row);
        }
    }
    void flush() override { handRest(); }
    void finish() override {
        if (rows_ > 0) {
            appendCommaLine(pending_, held_, true);
        }
        handRest();
    }

private:
    std::string held_;
};

// The spaced table's width depends on every row, so the rows are kept (as the results
// list keeps them: one buffer and an offset per row) and written at the end.
class SpacedSink final : public FormattedSink {
public:
    using FormattedSink::FormattedSink;
    void add(std::span<const std::string_view> rows, std::string_view) override {
        for (const std::string_view row : rows) {
            ++rows_;
            longest_ = std::max(longest_, row.size());
            store_.append(row);
        }
    }
    void flush() override {}
    void finish() override {
        const std::size_t width = spacedWidth(longest_);
        appendSpacedLine(pending_, kSpacedHeader, width);
        for (std::size_t i = 0; i < store_.size(); ++i) {
            appendSpacedLine(pending_, store_.row(i), width);
            handIfLarge();
        }
        handRest();
    }

private:
    ResultsStore store_;
    std::size_t longest_ = 0;
};

// The chosen columns of each line that yields any on one line, `join` between them,
// empty columns kept as empty fields and values written as read, ended at the engine's
// line-end marks. Records are built in a buffer of their own with
// plain copies (short rows in one fixed-size move), as this runs for every row in turn.
class RecordsSink final : public FormattedSink {
public:
    RecordsSink(ByteOutput& output, std::string join, bool quoteFields)
        : FormattedSink(output), join_(std::move(join)), quoteFields_(quoteFields) {}
    void add(std::span<const std::string_view> rows, std::string_view source) override {
        const char* const sourceEnd = source.data() + source.size();
        for (const std::string_view row : rows) {
            if (isLineEndMark(row, source)) {
                endRecord();
                continue;
            }
            if (fields_++ == 0) {
                recordStart_ = used_;
            } else {
                put(join_, join_.data() + join_.size());
            }
            if (quoteFields_ && needsQuotes(row)) {
                putQuoted(row);
            } else {
                put(row, sourceEnd);
            }
        }
    }
    bool keepsLines() const override { return true; }
    void endSource() override { endRecord(); }
    // Writes the records whose lines are done.
    void flush() override {
        const std::size_t done = fields_ == 0 ? used_ : recordStart_;
        if (done == 0) {
            return;
        }
        output().write({buffer_.get(), done});
        std::memmove(buffer_.get(), buffer_.get() + done, used_ - done);
        used_ -= done;
        recordStart_ = 0;
    }
    void finish() override {
        endRecord();
        flush();
    }

private:
    static constexpr std::size_t kMoveBytes = 32;

    // Appends `bytes`, which may be read up to `readable`.
    void put(std::string_view bytes, const char* readable) {
        const std::size_t n = bytes.size();
        if (used_ + n + kMoveBytes > capacity_) {
            grow(used_ + n + kMoveBytes);
        }
        char* const at = buffer_.get() + used_;
        if (n <= kMoveBytes && readable - bytes.data() >= static_cast<std::ptrdiff_t>(kMoveBytes)) {
            std::memcpy(at, bytes.data(), kMoveBytes);
        } else {
            std::memcpy(at, bytes.data(), n);
        }
        used_ += n;
    }
    bool needsQuotes(std::string_view field) const {
        return field.find_first_of("\"\r\n") != std::string_view::npos ||
               (!join_.empty() && field.find(join_) != std::string_view::npos);
    }
    void putQuoted(std::string_view field) {
        const std::string_view quote = "\"";
        const char* const quoteEnd = quote.data() + quote.size();
        put(quote, quoteEnd);
        for (std::size_t at; (at = field.find('"')) != std::string_view::npos;) {
            put(field.substr(0, at + 1), field.data() + at + 1);
            put(quote, quoteEnd);
            field.remove_prefix(at + 1);
        }
        put(field, field.data() + field.size());
        put(quote, quoteEnd);
    }
    void grow(std::size_t needed) {
        const std::size_t capacity = std::max({needed, 2 * capacity_, kPieceBytes + kMoveBytes});
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        if (used_ > 0) {
            std::memcpy(bigger.get(), buffer_.get(), used_);
        }
        buffer_ = std::move(bigger);
        capacity_ = capacity;
    }
    void endRecord() {
        if (fields_ == 0) {
            return;
        }
        if (quoteFields_ && fields_ == 1 && used_ == recordStart_) {
            putQuoted({});  // an empty line would read as a record without fields
        }
        const std::string_view lineFeed = "\n";
        put(lineFeed, lineFeed.data() + lineFeed.size());
        rows_ += fields_;
        fields_ = 0;
        if (eager() || used_ >= kPieceBytes) {
            flush();
        }
    }

    std::string join_;
    bool quoteFields_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::size_t fields_ = 0;       // in the record not yet ended
    std::size_t recordStart_ = 0;  // where that record starts in the buffer
};

}  // namespace

void DescriptorOutput::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            throw OutputFailure("Cannot write standard output: " +
                                std::generic_category().message(count < 0 ? errno : ENOSPC));
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

FileOutput::FileOutput(const std::string& path, FileCalls& calls) : path_(path) {
    const SignalsHeld held;
    try {
        file_.emplace(path, calls);
    } catch (const std::runtime_error& e) {
        throw OutputFailure("Cannot write " + path_ + ": " + e.what());
    }
    trackFile(file_->temporaryPath());
}

FileOutput::~FileOutput() {
    file_.reset();
    trackFile({});
}

void FileOutput::finish() {
    try {
        file_->close();
    } catch (const std::runtime_error& e) {
        throw OutputFailure("Cannot write " + path_ + ": " + e.what());
    }
    trackFile({});
}

// Hands the gathered bytes on once they make a large piece.
void FormattedSink::handIfLarge() {
    if (pending_.size() >= kPieceBytes) {
        handRest();
    }
}

void FormattedSink::handRest() {
    if (!pending_.empty()) {
        output_.write(pending_);
    }
    pending_.clear();
}

std::unique_ptr<FormattedSink> makeSink(OutputFormat format, ByteOutput& output, std::string join,
                                        bool quoteFields) {
    switch (format) {
        case OutputFormat::Records:
            return std::make_unique<RecordsSink>(output, std::move(join), quoteFields);
        case OutputFormat::Spaced:
            return std::make_unique<SpacedSink>(output);
        case OutputFormat::Comma:
            return std::make_unique<CommaSink>(output);
        case OutputFormat::Lines:
            break;
    }
    return std::make_unique<LinesSink>(output);
}

}  // namespace culvex::cli
