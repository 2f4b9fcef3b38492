#include "preview/PreviewSample.h"

#include "engine/FileReader.h"

#include <algorithm>

namespace culvex {
namespace {

// Bytes after the sample that wide loads of the engine may read.
constexpr std::size_t kPadding = 64;
// The first read's size; a larger file doubles it up to the limit.
constexpr std::size_t kFirstRead = std::size_t{64} << 10;

// Reads up to `limit` bytes into `bytes`, which grows as they come, with the padding after
// them; returns how many were read.
std::size_t readUpTo(ByteSource& source, std::string& bytes, std::size_t limit) {
    std::size_t capacity = std::min<std::size_t>(kFirstRead, limit);
    std::size_t size = 0;
    bytes.resize(capacity + kPadding);
    while (true) {
        const std::size_t got = source.read(bytes.data() + size, capacity - size);
        if (got == 0) {
            return size;
        }
        size += got;
        if (size == capacity) {
            if (capacity == limit) {
                return size;
            }
            capacity = std::min(capacity * 2, limit);
            bytes.resize(capacity + kPadding);
        }
    }
}

}  // namespace

Sample readSample(ByteSource& source, std::size_t maxLines, std::size_t maxBytes) {
    Sample sample;
    // One byte past the limit tells whether the file goes on.
    const std::size_t size = readUpTo(source, sample.bytes, maxBytes + 1);
    const bool overLimit = size > maxBytes;
    const std::string_view text(sample.bytes.data(), overLimit ? maxBytes : size);
    TextLines lines(text);
    std::string_view line;
    std::size_t end = 0;  // where the lines taken end, with their breaks
    while (sample.lines.size() < maxLines && lines.next(line)) {
        const bool ended = lines.remaining() > 0 || text.ends_with('\n');
        if (overLimit && !ended && !sample.lines.empty()) {
            break;  // cut by the byte limit
        }
        sample.lineCut = overLimit && !ended;
        sample.lines.push_back(line);
        end = text.size() - lines.remaining();
    }
    sample.text = text.substr(0, end);
    sample.moreInFile = overLimit || end < text.size();
    return sample;
}

Sample readSampleOf(const std::string& path) {
    InputFile file(path);
    return readSample(file);
}

}  // namespace culvex
