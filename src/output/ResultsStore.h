#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace culvex {

// The rows of the results list as bytes in the input's code page. Rows are packed into
// pages of bytes (a page that is full is shrunk to what it holds), and each row costs one
// 32-bit end offset within its page, kept in fixed-size blocks. A hundred million short
// rows therefore cost their bytes plus a little over four bytes each, with no allocation
// per row and no spare capacity from doubling growth.
class ResultsStore {
  public:
    ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;
    ~ResultsStore();

    void append(std::string_view row) {
        if (!pages_.empty() && pages_.back().capacity - pages_.back().used >= row.size() &&
            size_ < blocks_.size() * kBlockRows && !row.empty()) {
            Page& page = pages_.back();
            std::memcpy(page.bytes + page.used, row.data(), row.size());
            page.used += row.size();
            endOf(size_) = static_cast<std::uint32_t>(page.used);
            ++size_;
            return;
        }
        appendSlow(row);
    }
    void removeAt(std::size_t index);
    // Empties the store and gives its memory back.
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view row(std::size_t index) const;
    // Bytes held for rows and offsets, including spare capacity.
    std::size_t memoryBytes() const;

    // Bytes of a page that rows share; a longer row gets a page of its own.
    static constexpr std::size_t kPageBytes = std::size_t{1} << 20;

  private:
    static constexpr unsigned kBlockShift = 16;
    static constexpr std::size_t kBlockRows = std::size_t{1} << kBlockShift;

    struct Page {
        char* bytes = nullptr;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::size_t firstRow = 0;
    };
    std::uint32_t& endOf(std::size_t index) {
        return blocks_[index >> kBlockShift][index & (kBlockRows - 1)];
    }
    std::uint32_t endOf(std::size_t index) const {
        return blocks_[index >> kBlockShift][index & (kBlockRows - 1)];
    }
    void appendSlow(std::string_view row);
    std::size_t pageOf(std::size_t index) const;
    void startPage(std::size_t capacity);
    void pushEnd(std::uint32_t end);
    void releasePage(std::size_t pageIndex);

    std::vector<Page> pages_;
    std::vector<std::unique_ptr<std::uint32_t[]>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace culvex
