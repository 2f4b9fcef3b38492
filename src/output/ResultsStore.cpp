#include "output/ResultsStore.h"

#include <malloc.h>

namespace culvex {

void ResultsStore::append(std::string_view row) {
    bytes_.insert(bytes_.end(), row.begin(), row.end());
    ends_.push_back(bytes_.size());
}

std::string_view ResultsStore::row(std::size_t index) const {
    const std::uint64_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_.data() + begin, ends_[index] - begin);
}

void ResultsStore::removeAt(std::size_t index) {
    const std::uint64_t begin = index == 0 ? 0 : ends_[index - 1];
    const std::uint64_t length = ends_[index] - begin;
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(begin);
    bytes_.erase(first, first + static_cast<std::ptrdiff_t>(length));
    ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < ends_.size(); ++i) {
        ends_[i] -= length;
    }
}

void ResultsStore::clear() {
    std::vector<char>().swap(bytes_);
    std::vector<std::uint64_t>().swap(ends_);
    malloc_trim(0);
}

std::size_t ResultsStore::memoryBytes() const {
    return bytes_.capacity() + ends_.capacity() * sizeof(std::uint64_t);
}

}  // namespace culvex
