#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace culvex {

// The rows of the results list as bytes in the input's code page: one byte buffer for
// all rows plus the end offset of each row, so ten million rows cost no allocation each.
class ResultsStore {
  public:
    void append(std::string_view row);
    void removeAt(std::size_t index);
    // Empties the store and gives its memory back.
    void clear();

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view row(std::size_t index) const;
    // Bytes held for rows and offsets, including spare capacity.
    std::size_t memoryBytes() const;

  private:
    std::vector<char> bytes_;
    std::vector<std::uint64_t> ends_;
};

}  // namespace culvex
