// Where the last complete record of a block ends, found 64 bytes at a time: the quotes of
// a window give the bytes inside quoted values as the running parity of the quotes, so long
// as each quote that opens a value stands right after a separator, a line feed or the
// quote that closed the value before (a doubled quote). A window with any other opening
// quote, and a quoted value that may reach the bound, leave the records to the walk from
// quote to quote.
#include "engine/QuotedFields.h"

#include <algorithm>
#include <bit>

namespace culvex {
namespace {

constexpr std::size_t kWindow = 64;
// How far the walk goes at once before the windows are taken again.
constexpr std::size_t kWalk = 4096;

struct WindowBits {
    std::uint64_t separators = 0;
    std::uint64_t quotes = 0;
    std::uint64_t lineFeeds = 0;
};

template <ScanLevel kLevel>
inline WindowBits classify(const char* at, std::size_t count, const char* readableEnd,
                           char separator) {
    WindowBits bits;
#ifdef __SSE2__
    if constexpr (kLevel != ScanLevel::Bytes) {
        if (readableEnd - at >= static_cast<std::ptrdiff_t>(kWindow)) {
            const std::uint64_t kept =
                count < kWindow ? (std::uint64_t{1} << count) - 1 : ~std::uint64_t{0};
            if constexpr (kLevel == ScanLevel::Avx2) {
                bits = {equalBitsAvx2(at, separator), equalBitsAvx2(at, '"'),
                        equalBitsAvx2(at, '\n')};
            } else {
                bits = {equalBitsSse2(at, separator), equalBitsSse2(at, '"'),
                        equalBitsSse2(at, '\n')};
            }
            return {bits.separators & kept, bits.quotes & kept, bits.lineFeeds & kept};
        }
    }
#endif
    for (std::size_t i = 0; i < count; ++i) {
        bits.separators |= std::uint64_t{at[i] == separator} << i;
        bits.quotes |= std::uint64_t{at[i] == '"'} << i;
        bits.lineFeeds |= std::uint64_t{at[i] == '\n'} << i;
    }
    return bits;
}

struct Records {
    char* text;
    std::size_t size;
    const Separator& separator;
    std::size_t bound;
    QuotedScanner& scanner;
};

// Where the last complete record from `start` on ends, walked from quote to quote within
// kWalk bytes, or within the rest when none ends there; `start` when none does.
std::size_t walkFrom(const Records& in, std::size_t start) {
    const std::size_t rest = in.size - start;
    if (rest > kWalk) {
        const std::size_t done =
            walkRecords(in.text + start, kWalk, false, in.separator, in.bound, in.scanner);
        if (done > 0) {
            return start + done;
        }
    }
    return start + walkRecords(in.text + start, rest, false, in.separator, in.bound, in.scanner);
}

template <ScanLevel kLevel>
std::size_t lastRecordEnd(const Records& in) {
    const char separator = in.scanner.separator();
    std::size_t record = 0;  // where the record being read starts
    std::size_t at = 0;      // where the window starts
    bool inside = false;     // the window starts inside a quoted value
    std::size_t open = 0;    // then that value's opening quote
    // Whether the byte before the window ends a column, and whether it is a quote.
    std::uint64_t endsBefore = 1;
    std::uint64_t quoteBefore = 0;
    while (at < in.size) {
        const std::size_t count = std::min(in.size - at, kWindow);
        const WindowBits bits =
            classify<kLevel>(in.text + at, count, in.scanner.readableEnd(), separator);
        const std::uint64_t parity = runningParity(bits.quotes);
        // The bytes of quoted values, their opening quotes in, their closing quotes out.
        const std::uint64_t quoted = inside ? ~parity : parity;
        const std::uint64_t opening = bits.quotes & quoted;
        const std::uint64_t ends = bits.separators | bits.lineFeeds | bits.quotes;
        const bool mayReachBound = in.bound < kWindow || (inside && at + kWindow - open > in.bound);
        if (mayReachBound || (opening & ~(ends << 1 | endsBefore)) != 0) {
            const std::size_t next = walkFrom(in, record);
            if (next == record) {
                return record;
            }
            record = at = next;
            inside = false;
            endsBefore = 1;
            quoteBefore = 0;
            continue;
        }
        const std::uint64_t breaks = bits.lineFeeds & ~quoted;
        if (breaks != 0) {
            record = at + kWindow - static_cast<std::size_t>(std::countl_zero(breaks));
        }
        inside = (quoted >> (count - 1) & 1) != 0;
        // A quote right after a closing quote goes on with the value it closed.
        const std::uint64_t firstQuotes = opening & ~(bits.quotes << 1 | quoteBefore);
        if (inside && firstQuotes != 0) {
            open = at + kWindow - 1 - static_cast<std::size_t>(std::countl_zero(firstQuotes));
        }
        endsBefore = ends >> 63;
        quoteBefore = bits.quotes >> 63;
        at += kWindow;
    }
    return record;
}

#ifdef __SSE2__
[[gnu::target("avx2"), gnu::flatten]] std::size_t lastRecordEndAvx2(const Records& in) {
    return lastRecordEnd<ScanLevel::Avx2>(in);
}
#endif

}  // namespace

std::size_t completeRecords(char* text, std::size_t size, bool atEnd, const Separator& separator,
                            std::size_t bound, QuotedScanner& scanner) {
    // At the source's end every record is complete.
    if (atEnd) {
        return size;
    }
    const Records in{text, size, separator, bound, scanner};
#ifdef __SSE2__
    if (scanner.level() >= ScanLevel::Avx2) {
        return lastRecordEndAvx2(in);
    }
    if (scanner.level() == ScanLevel::Sse2) {
        return lastRecordEnd<ScanLevel::Sse2>(in);
    }
#endif
    return lastRecordEnd<ScanLevel::Bytes>(in);
}

}  // namespace culvex
