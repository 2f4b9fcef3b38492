#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace culvex {

// Rows packed end to end into one buffer of their own, as a worker thread gathers them
// away from the results list: a results store can take the buffer over whole instead of
// copying the rows. The buffer holds up to 4 GiB - 1 of row bytes, grows as needed and is
// mapped in ahead of the rows a large step at a time.
class PackedRows {
public:
    // Room for `bytes` of rows at first, taken when the first row comes.
    explicit PackedRows(std::size_t bytes) noexcept : capacity_(bytes) {}
    ~PackedRows();
    PackedRows(PackedRows&& other) noexcept;
    PackedRows& operator=(PackedRows&& other) noexcept;
    PackedRows(const PackedRows&) = delete;
    PackedRows& operator=(const PackedRows&) = delete;

    // Drops the rows, keeping the buffer if there is one; a new buffer gets room for
    // `bytes` of rows.
    void clear(std::size_t bytes);
    // Whether a row of `length` bytes still fits under the 4 GiB.
    bool fits(std::size_t length) const { return length <= kMaxBytes - used_; }
    // Appends a row that fits and lies within `source`; like ResultsStore::appendRows, a
    // short row is copied in one fixed-size move that may read past its end.
    void append(std::string_view row, std::string_view source);

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Bytes of the rows.
    std::size_t bytes() const { return used_; }
    std::string_view row(std::size_t index) const {
        const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
        return {buffer_ + begin, ends_[index] - begin};
    }
    // The rows' bytes, which every row lies within.
    std::string_view source() const { return {buffer_, used_}; }
    // Where each row ends, from the buffer's start.
    std::span<const std::uint32_t> ends() const { return ends_; }
    // Gives the buffer up, shrunk to the rows' bytes, for std::free to release; no rows
    // are left. Only for rows of at least one byte in all.
    char* release();

    static constexpr std::size_t kMaxBytes = UINT32_MAX;
    static constexpr std::size_t kMoveBytes = 32;

private:
    void makeRoom(std::size_t length);
    void drop();

    char* buffer_ = nullptr;  // capacity_ bytes and kMoveBytes of room for the moves
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::size_t mapped_ = 0;  // bytes from the start already mapped in
    std::vector<std::uint32_t> ends_;
};

}  // namespace culvex
