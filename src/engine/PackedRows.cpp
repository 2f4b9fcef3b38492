#include "engine/PackedRows.h"

#include "engine/MemoryPages.h"
#include "engine/ResultsSink.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace culvex {
namespace {

// Mapping pages in costs about as much per call as a fault costs per page, so it is done
// in steps of many pages.
constexpr std::size_t kMapStep = std::size_t{256} << 10;

}  // namespace

PackedRows::~PackedRows() { std::free(buffer_); }

PackedRows::PackedRows(PackedRows&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      used_(std::exchange(other.used_, 0)),
      mapped_(std::exchange(other.mapped_, 0)),
      ends_(std::move(other.ends_)) {}

PackedRows& PackedRows::operator=(PackedRows&& other) noexcept {
    if (this != &other) {
        std::free(buffer_);
        buffer_ = std::exchange(other.buffer_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        used_ = std::exchange(other.used_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
        ends_ = std::move(other.ends_);
    }
    return *this;
}

void PackedRows::append(std::string_view row, std::string_view source) {
    const std::size_t n = row.size();
    if (used_ + n + kMoveBytes > mapped_) {
        makeRoom(n);
    }
    char* const to = buffer_ + used_;
    if (n <= kMoveBytes &&
        source.data() + source.size() - row.data() >= static_cast<std::ptrdiff_t>(kMoveBytes)) {
        std::memcpy(to, row.data(), kMoveBytes);
    } else if (n > 0) {
        std::memcpy(to, row.data(), n);
    }
    used_ += n;
    ends_.push_back(static_cast<std::uint32_t>(used_));
}

void PackedRows::clear(std::size_t bytes) {
    if (buffer_ == nullptr) {
        capacity_ = bytes;
    }
    used_ = 0;
    ends_.clear();
}

void PackedRows::makeRoom(std::size_t length) {
    const std::size_t needed = used_ + length;
    if (buffer_ == nullptr || needed > capacity_) {
        const std::size_t capacity =
            std::max(needed, buffer_ == nullptr ? capacity_ : capacity_ * 2);
        auto* grown = static_cast<char*>(std::realloc(buffer_, capacity + kMoveBytes));
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        if (buffer_ == nullptr) {
            // Rows and their separators take two bytes at least, so the ends grow no more.
            ends_.reserve(capacity / 2 + 1);
        }
        buffer_ = grown;
        capacity_ = capacity;
        mapped_ = std::min(mapped_, used_);
    }
    const std::size_t mapTo = std::min(needed + kMoveBytes + kMapStep, capacity_ + kMoveBytes);
    mapPages(buffer_ + mapped_, mapTo - mapped_);
    mapped_ = mapTo;
}

char* PackedRows::release() {
    char* shrunk = static_cast<char*>(std::realloc(buffer_, used_));
    if (shrunk == nullptr) {
        shrunk = buffer_;  // the buffer stays as it was, larger than needed
    }
    buffer_ = nullptr;
    capacity_ = used_ = mapped_ = 0;
    ends_.clear();
    return shrunk;
}

void ResultsSink::appendPacked(PackedRows& rows) {
    std::array<std::string_view, RowBatch::kCapacity> batch;
    for (std::size_t at = 0; at < rows.size();) {
        const std::size_t count = std::min(batch.size(), rows.size() - at);
        for (std::size_t i = 0; i < count; ++i) {
            batch[i] = rows.row(at + i);
        }
        appendBatch({batch.data(), count}, rows.source());
        at += count;
    }
}

}  // namespace culvex
