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
                      std::size_t limit, ScanLevel level, LongLineCut* cut) const {
    columns.clear();
    if (findable()) {
        const auto onColumn = [&](std::string_view column) {
            columns.push_back(column);
            return columns.size() == limit;
        };
        const char* const end = line.data() + line.size();
        if (cut == nullptr) {
            return forEachColumn(line, end, level, onColumn);
        }
        return forEachColumn(line, end, level, onColumn, cut->stretch(),
                             [cut] { return cut->keepCutting(); });
    }
    // Nothing is ever found: the line is one column.
    if (limit > 0) {
        columns.push_back(line);
    }
    return passes(line);
}

}  // namespace culvex
