#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace culvex {

// The text that cuts a line into columns, matched exactly, left to right, without
// overlapping. An empty separator is never found: a line is then one column. A separator
// that the code page cannot represent can match nothing in the input's bytes, so no line
// contains it.
class Separator {
public:
    Separator() = default;
    explicit Separator(std::string bytes, bool representable = true)
        : bytes_(std::move(bytes)), unmatchable_(!representable) {}

    const std::string& bytes() const { return bytes_; }

    // The position of the first occurrence at or after `from`, or npos.
    std::size_t find(std::string_view line, std::size_t from) const;

    // Whether a line passes the separator test: it holds the separator, or, with the
    // empty separator, it is not empty.
    bool passes(std::string_view line) const;

    // Cuts `line` into its columns, into `columns` (cleared first). With a limit, stops
    // after that many columns; the last of them then ends at its separator even if more
    // of the line follows. Returns whether the line passes the separator test; when it
    // does not, the columns are not meaningful.
    bool split(std::string_view line, std::vector<std::string_view>& columns,
               std::size_t limit = static_cast<std::size_t>(-1)) const;

    // For a one-byte separator: calls `onColumn(column)` for each column from the left
    // until it returns true, but only when the line holds the separator at all. Returns
    // whether it does.
    template <class OnColumn>
    bool forEachColumnAtByte(std::string_view line, OnColumn&& onColumn) const;

    bool isOneByte() const { return bytes_.size() == 1 && !unmatchable_; }

private:
    std::string bytes_;
    bool unmatchable_ = false;
};

template <class OnColumn>
bool Separator::forEachColumnAtByte(std::string_view line, OnColumn&& onColumn) const {
    const char separator = bytes_[0];
    const char* data = line.data();
    const std::size_t size = line.size();
    std::size_t begin = 0;
    std::size_t i = 0;
    bool found = false;
    const auto cut = [&](std::size_t at) {
        found = true;
        const bool stop = onColumn(std::string_view(data + begin, at - begin));
        begin = at + 1;
        return stop;
    };
#ifdef __SSE2__
    // Sixteen bytes compared at a time: this is the hot path of a run.
    const __m128i needle = _mm_set1_epi8(separator);
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, needle)));
        while (mask != 0) {
            if (cut(i + static_cast<std::size_t>(__builtin_ctz(mask)))) {
                return true;
            }
            mask &= mask - 1;
        }
    }
    if (i < size && size >= 16) {
        // The last sixteen bytes, less those already looked at: no byte-by-byte tail.
        const std::size_t at = size - 16;
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, needle))) >> (i - at);
        while (mask != 0) {
            if (cut(i + static_cast<std::size_t>(__builtin_ctz(mask)))) {
                return true;
            }
            mask &= mask - 1;
        }
        i = size;
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == separator && cut(i)) {
            return true;
        }
    }
    if (found) {
        onColumn(std::string_view(data + begin, size - begin));
    }
    return found;
}

}  // namespace culvex
