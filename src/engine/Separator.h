#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
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
// contains it. A typed separator also carries its UTF-8 bytes, for lines read as UTF-8.
class Separator {
public:
    Separator() = default;
    explicit Separator(std::string bytes, bool representable = true,
                       std::optional<std::string> utf8 = std::nullopt)
        : bytes_(std::move(bytes)), utf8_(std::move(utf8)), unmatchable_(!representable) {}

    const std::string& bytes() const { return bytes_; }

    // Whether lines read as UTF-8 look for other bytes than the code page's.
    bool differsInUtf8() const { return utf8_.has_value() && (unmatchable_ || *utf8_ != bytes_); }
    // The separator for lines read as UTF-8.
    Separator inUtf8() const { return utf8_ ? Separator(*utf8_) : *this; }

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
    // whether it does. The bytes from the line's start up to `readableEnd` (at or past the
    // line's end) may be read to look at the line in wide blocks.
    template <class OnColumn>
    bool forEachColumnAtByte(std::string_view line, const char* readableEnd,
                             OnColumn&& onColumn) const;

    bool isOneByte() const { return bytes_.size() == 1 && !unmatchable_; }

private:
    std::string bytes_;
    std::optional<std::string> utf8_;
    bool unmatchable_ = false;
};

// The bytes equal to `separator` among the first min(count, 64) at `at`, as bits from the
// lowest.
inline std::uint64_t separatorBits(const char* at, std::size_t count, const char* readableEnd,
                                   char separator) {
    constexpr std::size_t kBlock = 64;
#ifdef __SSE2__
    if (readableEnd - at >= static_cast<std::ptrdiff_t>(kBlock)) {
        const __m128i needle = _mm_set1_epi8(separator);
        std::uint64_t bits = 0;
        for (std::size_t part = 0; part < kBlock; part += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part));
            const auto found =
                static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, needle)));
            bits |= std::uint64_t{found} << part;
        }
        return count < kBlock ? bits & ((std::uint64_t{1} << count) - 1) : bits;
    }
#else
    static_cast<void>(readableEnd);
#endif
    std::uint64_t bits = 0;
    const std::size_t n = std::min(count, kBlock);
    for (std::size_t i = 0; i < n; ++i) {
        bits |= std::uint64_t{at[i] == separator} << i;
    }
    return bits;
}

template <class OnColumn>
bool Separator::forEachColumnAtByte(std::string_view line, const char* readableEnd,
                                    OnColumn&& onColumn) const {
    // Sixty-four bytes looked at a time, then their separators taken in order: this is
    // the hot path of a run, and a typical line takes one or two blocks.
    const char separator = bytes_[0];
    const char* const data = line.data();
    const std::size_t size = line.size();
    std::size_t begin = 0;  // past the last separator, so above 0 once one is found
    for (std::size_t block = 0; block < size; block += 64) {
        std::uint64_t bits = separatorBits(data + block, size - block, readableEnd, separator);
        while (bits != 0) {
            const std::size_t at = block + static_cast<std::size_t>(std::countr_zero(bits));
            if (onColumn(std::string_view(data + begin, at - begin))) {
                return true;
            }
            begin = at + 1;
            bits &= bits - 1;
        }
    }
    if (begin == 0) {
        return false;
    }
    onColumn(std::string_view(data + begin, size - begin));
    return true;
}

}  // namespace culvex
