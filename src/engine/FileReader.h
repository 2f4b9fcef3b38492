#pragma once

#include "engine/ByteScan.h"
#include "engine/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// Walks the lines of a file's bytes without copying them. Every byte is one character
// of the single-byte code page; a byte-order mark is ordinary text.
//
// Line breaks: LF, and CR LF as one break. A lone CR is an ordinary character that stays
// in its line, so a file with old Macintosh line ends reads as one line; splitting there
// would turn a stray CR inside a field into an extra line. A break at the very end adds
// no empty line after it, and an empty file is one empty line.
class TextLines {
public:
    // The first `unbroken` bytes are known to hold no LF, so they are not looked at again.
    explicit TextLines(std::string_view bytes, ScanLevel level = scanLevel(),
                       std::size_t unbroken = 0)
        : text_(bytes), level_(level), scanned_(std::min(unbroken, bytes.size())) {}

    // Sets `line` to the next line (without its break) and returns true, or returns
    // false when no line is left.
    bool next(std::string_view& line);

    // Bytes not yet walked, breaks included.
    std::size_t remaining() const { return text_.size() - begin_; }

private:
    // Where the next LF at or after the next line's start is, or the text's size. The
    // breaks are found 64 bytes at a time rather than with a search per line.
    std::size_t nextBreak();

    std::string_view text_;
    ScanLevel level_;
    std::size_t begin_ = 0;     // where the next line starts
    std::size_t scanned_;       // the bytes before this have been looked at for breaks
    std::uint64_t breaks_ = 0;  // the breaks not yet taken among the 64 bytes before scanned_
    bool first_ = true;
};

// Bytes already in memory, read as a source.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
    std::size_t read(char* into, std::size_t count) override;

private:
    std::string_view rest_;
};

// Small enough that a block read is still in the processor's cache when it is cut.
inline constexpr std::size_t kBlockBytes = std::size_t{1} << 18;

// Reads a source block by block into buffers that the blocks reuse in turn, so that a file
// of any size takes a fixed amount of memory. A block is whole lines, each with its break
// except the source's last line; the line cut at the end of a read moves to the start of
// the next block. A line longer than a buffer grows it. An empty source gives one empty
// block (one empty line, as TextLines walks it); otherwise no block is empty.
class LineBlocks {
public:
    // Bytes after the data that may be read, for wide loads past a line's end.
    static constexpr std::size_t kPadding = 64;

    // With more than one buffer, a block stays readable while the next `buffers - 1` are
    // read, so that others can still work on it.
    explicit LineBlocks(ByteSource& source, std::size_t blockBytes = kBlockBytes,
                        std::size_t buffers = 1);

    // Called after each read of a line longer than a block while its end is still to
    // come, so that a caller stays live inside one endless line; returning false ends
    // the reading there, without the cut line.
    void whileInLongLine(std::function<bool()> keepReading) {
        keepReading_ = std::move(keepReading);
    }

    // Reads the next block and returns true, or returns false when the source is used up.
    // Views into the block read `buffers` calls before end here.
    bool next();
    // The block's lines.
    std::string_view text() const { return {current().bytes.get(), textEnd_}; }
    // The block's lines, the bytes read after them and the padding: all of it may be read.
    std::string_view readable() const { return {current().bytes.get(), dataEnd_ + kPadding}; }
    // The block's lines, to be rewritten in place by one who alone reads them.
    char* writableText() { return current().bytes.get(); }
    // Whether the block's lines run to the source's end.
    bool atEnd() const { return ended_; }
    // Ends the block after its first `size` bytes of lines, which must end with a LF; the
    // rest moves to the next block.
    void keepOnly(std::size_t size) { textEnd_ = size; }
    // Reads on into the block's buffer until the block holds at least one more line, or
    // up to the source's end, asking the long line's reader after every read short of the
    // end: the caller reads on inside a record longer than the block. When the reading
    // ends there, the block is left empty and no block follows.
    void extendText();
    // Where the block's lines start in the source.
    std::uint64_t offset() const { return offset_; }
    // How many bytes at the block's start are known to hold no LF: the part of a long line
    // read before the read that ended it.
    std::size_t unbroken() const { return unbroken_; }
    std::size_t blockBytes() const { return blockBytes_; }
    // Which buffer holds the block, from 0 to `buffers - 1`.
    std::size_t buffer() const { return current_; }
    std::size_t buffers() const { return buffers_.size(); }

private:
    // Giving a long line's buffer back to the system takes about 40 ms a GiB, longer than
    // a window may wait: a large buffer is given back on a thread of its own.
    struct Free {
        void operator()(char* bytes) const noexcept;
    };
    // Held by malloc, so that a long line grows its buffer in place where the system can.
    struct Buffer {
        std::size_t capacity = 0;
        std::unique_ptr<char[], Free> bytes;  // capacity bytes and the padding
    };
    static Buffer makeBuffer(std::size_t capacity);
    Buffer& current() { return buffers_[current_]; }
    const Buffer& current() const { return buffers_[current_]; }
    void readMore();
    void grow();

    ByteSource& source_;
    std::size_t blockBytes_;
    std::vector<Buffer> buffers_;
    std::size_t current_ = 0;
    std::uint64_t offset_ = 0;
    std::size_t textEnd_ = 0;
    std::size_t dataEnd_ = 0;
    std::size_t unbroken_ = 0;
    bool ended_ = false;
    bool readAny_ = false;
    std::function<bool()> keepReading_;
};

}  // namespace culvex
