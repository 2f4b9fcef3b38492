#include "extract/Separator.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace culvex {

std::size_t Separator::find(std::string_view line, std::size_t from) const {
    if (unmatchable_ || bytes_.empty() || from >= line.size()) {
        return std::string_view::npos;
    }
    const char* begin = line.data() + from;
    const std::size_t length = line.size() - from;
    const void* hit = bytes_.size() == 1 ? std::memchr(begin, bytes_[0], length)
                                         : ::memmem(begin, length, bytes_.data(), bytes_.size());
    return hit == nullptr ? std::string_view::npos
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
}

bool Separator::passes(std::string_view line) const {
    if (bytes_.empty()) {
        return !unmatchable_ && !line.empty();
    }
    return find(line, 0) != std::string_view::npos;
}

bool Separator::split(std::string_view line, std::vector<std::string_view>& columns,
                      std::size_t limit) const {
    if (bytes_.size() == 1 && !unmatchable_) {
        return splitAtByte(line, columns, limit);
    }
    columns.clear();
    std::size_t begin = 0;
    while (columns.size() < limit) {
        const std::size_t at = find(line, begin);
        if (at == std::string_view::npos) {
            break;
        }
        columns.push_back(line.substr(begin, at - begin));
        begin = at + bytes_.size();
    }
    if (columns.size() < limit) {
        columns.push_back(line.substr(begin));
    }
    return bytes_.empty() ? passes(line) : begin > 0;
}

// The common case of a one-byte separator, the hot path of a run: sixteen bytes are
// compared at a time where the processor allows it.
bool Separator::splitAtByte(std::string_view line, std::vector<std::string_view>& columns,
                            std::size_t limit) const {
    columns.clear();
    const char separator = bytes_[0];
    const char* data = line.data();
    const std::size_t size = line.size();
    std::size_t begin = 0;
    std::size_t i = 0;
    const auto cut = [&](std::size_t at) {
        columns.emplace_back(data + begin, at - begin);
        begin = at + 1;
        return columns.size() == limit;
    };
#ifdef __SSE2__
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
#endif
    for (; i < size; ++i) {
        if (data[i] == separator && cut(i)) {
            return true;
        }
    }
    const bool found = !columns.empty();
    columns.emplace_back(data + begin, size - begin);
    return found;
}

std::string chooseSeparator(const bool selected[5], const std::string& othersText) {
    static const char* const fixed[] = {" ", ", ", ",", "\t"};
    for (int i = 0; i < 4; ++i) {
        if (selected[i]) {
            return fixed[i];
        }
    }
    return selected[4] ? othersText : std::string();
}

}  // namespace culvex
