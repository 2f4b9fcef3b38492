#pragma once

#include "engine/ByteScan.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// Lets a caller stay live while one long line is cut: after every `stretch` bytes looked at,
// `keepCutting` is asked whether to go on. Once it says no, the line is given up.
class LongLineCut {
public:
    LongLineCut() = default;
    LongLineCut(std::size_t stretch, std::function<bool()> keepCutting)
        : stretch_(std::max<std::size_t>(stretch, 1)), keepCutting_(std::move(keepCutting)) {}

    std::size_t stretch() const { return stretch_; }
    // Whether the cut goes on; false from the first time the caller said no.
    bool keepCutting() {
        gaveUp_ = gaveUp_ || !keepCutting_();
        return !gaveUp_;
    }
    bool gaveUp() const { return gaveUp_; }

private:
    std::size_t stretch_ = static_cast<std::size_t>(-1);
    std::function<bool()> keepCutting_;
    bool gaveUp_ = false;
};

// The text that cuts a line into columns, matched exactly, left to right, without
// overlapping. An empty separator is never found: a line is then one column. A separator
// that the code page cannot represent can match nothing in the input's bytes, so no line
// contains it. A typed separator also carries its UTF-8 bytes, for lines read as UTF-8.
class Separator {
public:
    Separator() = default;
    explicit Separator(std::string bytes, bool representable = true,
                       std::optional<std::string> utf8 = std::nullopt)
        : bytes_(std::move(bytes)),
          utf8_(std::move(utf8)),
          unmatchable_(!representable),
          second_(secondCompared(bytes_)) {}

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
    // does not, or when `cut` gave the line up, the columns are not meaningful.
    bool split(std::string_view line, std::vector<std::string_view>& columns,
               std::size_t limit = static_cast<std::size_t>(-1), ScanLevel level = ScanLevel::Bytes,
               LongLineCut* cut = nullptr) const;

    // For a separator that can be found (not empty, representable): calls
    // `onColumn(column)` for each column from the left until it returns true, but only when
    // the line holds the separator at all. Returns whether it does. The bytes from the
    // line's start up to `readableEnd` (at or past the line's end) may be read to look at
    // the line in wide blocks, compared as `level` says.
    template <class OnColumn>
    bool forEachColumn(std::string_view line, const char* readableEnd, ScanLevel level,
                       OnColumn&& onColumn) const {
        return forEachColumn(line, readableEnd, level, onColumn, static_cast<std::size_t>(-1),
                             [] { return true; });
    }
    // The same, asking `keepCutting()` after every `stretch` bytes whether to go on; when
    // it says no, the cut ends there.
    template <class OnColumn, class KeepCutting>
    bool forEachColumn(std::string_view line, const char* readableEnd, ScanLevel level,
                       OnColumn&& onColumn, std::size_t stretch, KeepCutting&& keepCutting) const;

    bool findable() const { return !bytes_.empty() && !unmatchable_; }

    // Where the byte compared with the first one lies: the first that differs from it, so
    // that a separator such as " | " is looked for where a space is followed by "|" and
    // not at every space, or the last one.
    static std::size_t secondCompared(std::string_view bytes) {
        const std::size_t differs = bytes.find_first_not_of(bytes.empty() ? '\0' : bytes[0]);
        return differs != std::string_view::npos ? differs
                                                 : std::max<std::size_t>(bytes.size(), 1) - 1;
    }

private:
    template <bool kOneByte, class OnColumn, class KeepCutting>
    bool forEachColumnOf(std::string_view line, const char* readableEnd, ScanLevel level,
                         OnColumn& onColumn, std::size_t stretch, KeepCutting& keepCutting) const;

    std::string bytes_;
    std::optional<std::string> utf8_;
    bool unmatchable_ = false;
    std::size_t second_ = 0;
};

template <class OnColumn, class KeepCutting>
bool Separator::forEachColumn(std::string_view line, const char* readableEnd, ScanLevel level,
                              OnColumn&& onColumn, std::size_t stretch,
                              KeepCutting&& keepCutting) const {
    return bytes_.size() == 1
               ? forEachColumnOf<true>(line, readableEnd, level, onColumn, stretch, keepCutting)
               : forEachColumnOf<false>(line, readableEnd, level, onColumn, stretch, keepCutting);
}

template <bool kOneByte, class OnColumn, class KeepCutting>
bool Separator::forEachColumnOf(std::string_view line, const char* readableEnd, ScanLevel level,
                                OnColumn& onColumn, std::size_t stretch,
                                KeepCutting& keepCutting) const {
    // The places where the separator's first byte and a second one both match are found
    // 64 at a time, then confirmed and taken in order: this is the hot path of a run, and a
    // typical line takes one or two blocks. A match that begins inside the last one taken
    // overlaps it and is passed over; one byte needs neither test.
    const std::size_t length = kOneByte ? 1 : bytes_.size();
    const std::size_t distance = kOneByte ? 0 : second_;
    const char* const data = line.data();
    const std::size_t size = line.size();
    const std::size_t starts = size >= length ? size - length + 1 : 0;
    const char* const separator = bytes_.data();
    const auto matchesAt = [&](std::size_t at) {
        for (std::size_t i = 1; i < length; ++i) {
            if (data[at + i] != separator[i]) {
                return false;
            }
        }
        return true;
    };
    std::size_t begin = 0;  // past the last separator, so above 0 once one is found
    for (std::size_t block = 0; block < starts;) {
        const std::size_t stretchEnd = starts - block > stretch ? block + stretch : starts;
        for (; block < stretchEnd; block += 64) {
            std::uint64_t bits = pairBits(data + block, starts - block, readableEnd, separator[0],
                                          separator[distance], distance, level);
            for (; bits != 0; bits &= bits - 1) {
                const std::size_t at = block + static_cast<std::size_t>(std::countr_zero(bits));
                if constexpr (!kOneByte) {
                    if (at < begin || (length > 2 && !matchesAt(at))) {
                        continue;
                    }
                }
                if (onColumn(std::string_view(data + begin, at - begin))) {
                    return true;
                }
                begin = at + length;
            }
        }
        if (block < starts && !keepCutting()) {
            return begin != 0;
        }
    }
    if (begin == 0) {
        return false;
    }
    onColumn(std::string_view(data + begin, size - begin));
    return true;
}

}  // namespace culvex
