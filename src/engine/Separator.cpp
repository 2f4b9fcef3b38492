#include "engine/Separator.h"

#include <cstring>

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
    columns.clear();
    if (isOneByte()) {
        return forEachColumnAtByte(line, line.data() + line.size(), [&](std::string_view column) {
            columns.push_back(column);
            return columns.size() == limit;
        });
    }
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

}  // namespace culvex
