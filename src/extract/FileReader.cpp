#include "extract/FileReader.h"

#include "platform/MappedFile.h"

#include <cstring>

namespace culvex {

bool TextLines::next(std::string_view& line) {
    if (rest_.empty()) {
        if (!first_) {
            return false;
        }
        first_ = false;
        line = {};
        return true;
    }
    first_ = false;
    const auto* breakAt = static_cast<const char*>(std::memchr(rest_.data(), '\n', rest_.size()));
    if (breakAt == nullptr) {
        line = rest_;
        rest_ = {};
        return true;
    }
    std::size_t length = static_cast<std::size_t>(breakAt - rest_.data());
    const std::size_t consumed = length + 1;
    if (length > 0 && rest_[length - 1] == '\r') {
        --length;
    }
    line = rest_.substr(0, length);
    rest_.remove_prefix(consumed);
    return true;
}

std::vector<std::string> ReadTextFileLines(const std::string& path) {
    const MappedFile file(path);
    std::vector<std::string> lines;
    TextLines walker(file.bytes());
    std::string_view line;
    while (walker.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace culvex
