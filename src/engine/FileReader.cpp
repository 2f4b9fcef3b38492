#include "engine/FileReader.h"

#include <malloc.h>
#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace culvex {

namespace {

// `bytes` (or a fresh buffer) grown to `capacity` and the padding.
char* allocated(char* bytes, std::size_t capacity) {
    void* grown = std::realloc(bytes, capacity + LineBlocks::kPadding);
    if (grown == nullptr) {
        std::free(bytes);
        throw std::bad_alloc();
    }
    return static_cast<char*>(grown);
}

}  // namespace

std::size_t TextLines::nextBreak() {
    constexpr std::size_t kScan = 64;
    while (breaks_ == 0) {
        if (scanned_ >= text_.size()) {
            return text_.size();
        }
        // One byte in 64 inline at 16 a time costs less than a call to compare 32 at a time.
        breaks_ = byteBits(text_.data() + scanned_, text_.size() - scanned_,
                           text_.data() + text_.size(), '\n', std::min(level_, ScanLevel::Sse2));
        scanned_ += kScan;
    }
    const std::size_t at = scanned_ - kScan + static_cast<std::size_t>(std::countr_zero(breaks_));
    breaks_ &= breaks_ - 1;
    return at;
}

bool TextLines::next(std::string_view& line) {
    if (begin_ == text_.size()) {
        if (!first_) {
            return false;
        }
        first_ = false;
        line = {};
        return true;
    }
    first_ = false;
    const std::size_t breakAt = nextBreak();
    if (breakAt == text_.size()) {
        line = text_.substr(begin_);
        begin_ = text_.size();
        return true;
    }
    std::size_t length = breakAt - begin_;
    if (length > 0 && text_[breakAt - 1] == '\r') {
        --length;
    }
    line = text_.substr(begin_, length);
    begin_ = breakAt + 1;
    return true;
}

std::size_t MemorySource::read(char* into, std::size_t count) {
    const std::size_t n = std::min(count, rest_.size());
    if (n > 0) {
        std::memcpy(into, rest_.data(), n);
        rest_.remove_prefix(n);
    }
    return n;
}

LineBlocks::LineBlocks(ByteSource& source, std::size_t blockBytes, std::size_t buffers)
    : source_(source),
      blockBytes_(std::max<std::size_t>(blockBytes, 1)),
      buffers_(std::max<std::size_t>(buffers, 1)) {}

void LineBlocks::Free::operator()(char* bytes) const noexcept {
    constexpr std::size_t kFreedAtOnce = std::size_t{64} << 20;
    if (bytes != nullptr && ::malloc_usable_size(bytes) > kFreedAtOnce) {
        try {
            std::thread([bytes] { std::free(bytes); }).detach();
            return;
        } catch (const std::system_error&) {
            // No thread to spare: the caller waits for it.
        }
    }
    std::free(bytes);
}

LineBlocks::Buffer LineBlocks::makeBuffer(std::size_t capacity) {
    return {capacity, std::unique_ptr<char[], Free>(allocated(nullptr, capacity))};
}

bool LineBlocks::next() {
    if (ended_) {
        return false;
    }
    const std::size_t carried = dataEnd_ - textEnd_;
    const char* const rest = current().bytes.get() + textEnd_;
    offset_ += textEnd_;
    current_ = (current_ + 1) % buffers_.size();
    // A buffer is made when first used, again when the long line cut at the end of the
    // last block does not fit it, and again at a block's size once a long line has ended,
    // so that its memory goes back. The carried bytes may lie in the buffer replaced.
    Buffer& buffer = current();
    const bool oversized = buffer.capacity > blockBytes_ && carried <= blockBytes_;
    if (!buffer.bytes || buffer.capacity < carried || oversized) {
        Buffer fresh = makeBuffer(std::max(blockBytes_, carried));
        if (carried > 0) {
            std::memcpy(fresh.bytes.get(), rest, carried);
        }
        buffer = std::move(fresh);
    } else if (carried > 0) {
        std::memmove(buffer.bytes.get(), rest, carried);
    }
    dataEnd_ = carried;
    textEnd_ = 0;
    while (textEnd_ == 0 && !ended_) {
        unbroken_ = dataEnd_;
        readMore();
        const bool longLine = textEnd_ == 0 && !ended_ && dataEnd_ >= blockBytes_;
        if (longLine && keepReading_ && !keepReading_()) {
            ended_ = true;
            return false;
        }
    }
    // The buffer is made unfilled, so that a small file touches only the memory it fills;
    // the padding after the data gets defined bytes for the wide loads that reach into it.
    std::memset(current().bytes.get() + dataEnd_, 0, kPadding);
    // A source without bytes is one empty line.
    return textEnd_ > 0 || !readAny_;
}

void LineBlocks::extendText() {
    const std::size_t before = textEnd_;
    while (textEnd_ == before && !ended_) {
        readMore();
        if (!ended_ && keepReading_ && !keepReading_()) {
            ended_ = true;
            textEnd_ = 0;
        }
    }
    std::memset(current().bytes.get() + dataEnd_, 0, kPadding);
}

void LineBlocks::readMore() {
    if (dataEnd_ == current().capacity) {
        grow();
    }
    char* const fresh = current().bytes.get() + dataEnd_;
    // Reads stay a block long inside a long line, so that its reader is asked in time.
    const std::size_t got =
        source_.read(fresh, std::min(current().capacity - dataEnd_, blockBytes_));
    if (got == 0) {
        // The last line needs no break.
        ended_ = true;
        textEnd_ = dataEnd_;
        return;
    }
    readAny_ = true;
    dataEnd_ += got;
    // The carried bytes hold no break, so the block ends after the last fresh one.
    if (const void* lastBreak = ::memrchr(fresh, '\n', got)) {
        textEnd_ =
            static_cast<std::size_t>(static_cast<const char*>(lastBreak) - current().bytes.get()) +
            1;
    }
}

// A large buffer is moved to its new size by the system rather than copied, and only the
// part filled takes memory.
void LineBlocks::grow() {
    const std::size_t capacity = current().capacity * 2;
    current().bytes.reset(allocated(current().bytes.release(), capacity));
    current().capacity = capacity;
}

}  // namespace culvex
