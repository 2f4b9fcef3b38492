#pragma once

#include "engine/ResultsSink.h"
#include "engine/ResultsStore.h"
#include "engine/TextFileWriter.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace culvex::cli {

// The output could not be written: the run ends, unlike a file that cannot be read.
class OutputFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the result bytes go: standard output or a file put in place at the end.
class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    virtual void write(std::string_view bytes) = 0;
    // Makes every byte written final; throws std::runtime_error with the reason when it
    // cannot.
    virtual void finish() = 0;
};

// A descriptor written as it goes (standard output). A failed write throws OutputFailure
// at once with the system's wording, so a full disk ends the run.
class DescriptorOutput final : public ByteOutput {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) {}
    void write(std::string_view bytes) override;
    void finish() override {}

private:
    int fd_;
};

// A file that replaces an existing one only when finish() succeeds; given up without it,
// the old file stays as it was. Its temporary file is removed by a signal that ends the
// program (see SignalCleanup.h).
class FileOutput final : public ByteOutput {
public:
    // Throws OutputFailure naming the file and the reason when it cannot be created or,
    // at finish(), put in place.
    FileOutput(const std::string& path, FileCalls& calls);
    ~FileOutput() override;
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;
    void write(std::string_view bytes) override { file_->write(bytes); }
    void finish() override;

private:
    std::string path_;
    std::optional<TextFileWriter> file_;
};

enum class OutputFormat { Lines, Spaced, Comma, Records };

// Rows arriving from the engine, written in one of the output formats. Rows are gathered
// into large pieces before they reach the output, unless the sink writes eagerly: then
// what is complete goes out after every batch of rows (and every record), as soon as the
// lines it came from are done.
class FormattedSink : public ResultsSink {
public:
    explicit FormattedSink(ByteOutput& output) : output_(output) {}
    void append(std::string_view row) final { appendBatch({&row, 1}, row); }
    void appendBatch(std::span<const std::string_view> rows, std::string_view source) final {
        add(rows, source);
        if (eager_) {
            flush();
        }
    }
    void publish() override {}
    // Whether the rows must come with the engine's line-end marks (LineSettings).
    virtual bool keepsLines() const { return false; }
    // Ends a line left open by a source's last line without a break.
    virtual void endSource() {}
    // Writes every complete byte held back to the output.
    virtual void flush() = 0;
    // Writes what is still held back to the output.
    virtual void finish() = 0;
    void writeEagerly() { eager_ = true; }
    std::size_t rows() const { return rows_; }

protected:
    // Takes the rows of a batch (views into `source`, which may be read beyond a row).
    virtual void add(std::span<const std::string_view> rows, std::string_view source) = 0;
    void handIfLarge();
    void handRest();
    bool eager() const { return eager_; }
    ByteOutput& output() { return output_; }
    std::string pending_;
    std::size_t rows_ = 0;

private:
    ByteOutput& output_;
    bool eager_ = false;
};

// `join` goes between the fields of a record; with `quoteFields`, a field that holds the
// join, a quote or a line break is written in double quotes, its quotes doubled, so that
// a CSV reader reads the same fields back.
std::unique_ptr<FormattedSink> makeSink(OutputFormat format, ByteOutput& output, std::string join,
                                        bool quoteFields = false);

}  // namespace culvex::cli
