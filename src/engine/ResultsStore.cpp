#include "engine/ResultsStore.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace culvex {
namespace {

// Maps the memory's whole pages in one call rather than one fault per page as rows
// arrive. Where the system cannot, the faults happen as before.
void prefault(void* bytes, std::size_t size) {
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(bytes) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) & ~(pageSize - 1);
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
}

}  // namespace

ResultsStore::~ResultsStore() {
    for (const Page& page : pages_) {
        std::free(page.bytes);
    }
}

void ResultsStore::syncUsed() {
    if (!pages_.empty()) {
        pages_.back().used = static_cast<std::size_t>(cursor_ - pageBase_);
    }
}

void ResultsStore::resetCursors() {
    if (pages_.empty()) {
        pageBase_ = cursor_ = limit_ = nullptr;
    } else {
        Page& page = pages_.back();
        pageBase_ = page.bytes;
        cursor_ = page.bytes + page.used;
        limit_ = page.bytes + page.capacity;
    }
    anchor_ = fastLimit_ = cursor_;
    const std::size_t inGroup = size_ & (kGroupRows - 1);
    if (inGroup == 0) {
        nextEnd_ = endsLimit_ = nullptr;
        return;
    }
    nextEnd_ = &shortEnd(size_);
    endsLimit_ = nextEnd_ + (kGroupRows - inGroup);
    const Group& group = groups_.back();
    const auto used = static_cast<std::size_t>(cursor_ - pageBase_);
    if (group.wide == kShort && used >= group.anchor && used - group.anchor <= kShortReach) {
        anchor_ = pageBase_ + group.anchor;
        fastLimit_ = cursor_ + std::min(static_cast<std::size_t>(limit_ - cursor_),
                                        kShortReach - (used - group.anchor));
    }
}

void ResultsStore::appendSlow(std::string_view row) {
    syncUsed();
    if (row.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("A result row of 4 GiB or more cannot be kept");
    }
    if (pages_.empty() || pages_.back().capacity - pages_.back().used < row.size()) {
        startPage(std::max(kPageBytes, row.size()));
    }
    Page& page = pages_.back();
    if (!row.empty()) {
        std::memcpy(page.bytes + page.used, row.data(), row.size());
    }
    const std::size_t begin = page.used;
    page.used += row.size();
    pushEnd(begin, page.used);
    resetCursors();
}

template <class Row, class ViewOf>
void ResultsStore::appendEach(std::span<const Row> rows, std::string_view source, ViewOf viewOf) {
    const char* const sourceEnd = source.data() + source.size();
    const Row* next = rows.data();
    const Row* const end = next + rows.size();
    while (next != end) {
        // Locals, so that the byte copies cannot be taken to change the cursors.
        char* cursor = cursor_;
        const char* const anchor = anchor_;
        const char* const fastLimit = fastLimit_;
        std::uint16_t* nextEnd = nextEnd_;
        const std::size_t room =
            std::min<std::size_t>(static_cast<std::size_t>(endsLimit_ - nextEnd), end - next);
        const Row* const stop = next + room;
        for (; next != stop; ++next) {
            const std::string_view row = viewOf(*next);
            const std::size_t n = row.size();
            if (n > kMoveBytes ||
                sourceEnd - row.data() < static_cast<std::ptrdiff_t>(kMoveBytes) ||
                fastLimit - cursor < static_cast<std::ptrdiff_t>(kMoveBytes)) {
                break;
            }
            std::memcpy(cursor, row.data(), kMoveBytes);
            cursor += n;
            *nextEnd++ = static_cast<std::uint16_t>(cursor - anchor);
        }
        size_ += static_cast<std::size_t>(nextEnd - nextEnd_);
        cursor_ = cursor;
        nextEnd_ = nextEnd;
        if (next != end) {
            append(viewOf(*next++));
        }
    }
}

void ResultsStore::appendRows(std::span<const std::string_view> rows, std::string_view source) {
    appendEach(rows, source, [](std::string_view row) { return row; });
}

void ResultsStore::appendSpans(std::span<const RowSpan> rows, std::string_view source) {
    const char* const base = source.data();
    appendEach(rows, source, [base](RowSpan row) {
        return std::string_view(base + row.begin, row.end - row.begin);
    });
}

void ResultsStore::shrinkLast() {
    if (pages_.empty()) {
        return;
    }
    Page& full = pages_.back();
    if (full.used > 0 && full.used < full.capacity) {
        if (auto* shrunk = static_cast<char*>(std::realloc(full.bytes, full.used))) {
            full.bytes = shrunk;
            full.capacity = full.used;
        }
    }
}

void ResultsStore::startPage(std::size_t capacity) {
    shrinkLast();
    char* bytes = static_cast<char*>(std::malloc(capacity));
    if (bytes == nullptr) {
        throw std::bad_alloc();
    }
    prefault(bytes, capacity);
    pages_.push_back({bytes, capacity, 0, size_});
}

void ResultsStore::openGroup(std::size_t begin) {
    if (size_ == blocks_.size() * kBlockRows) {
        blocks_.push_back(std::make_unique_for_overwrite<std::uint16_t[]>(kBlockRows));
        prefault(blocks_.back().get(), kBlockRows * sizeof(std::uint16_t));
    }
    groups_.push_back({static_cast<std::uint32_t>(begin), kShort});
}

void ResultsStore::pushEnd(std::size_t begin, std::size_t end) {
    if ((size_ & (kGroupRows - 1)) == 0) {
        openGroup(begin);
    }
    setEnd(size_, end);
    ++size_;
}

void ResultsStore::pushEnds(const std::uint32_t* ends, std::size_t count) {
    std::size_t begin = 0;
    while (count > 0) {
        if ((size_ & (kGroupRows - 1)) == 0) {
            openGroup(begin);
        }
        const std::size_t n = std::min(count, kGroupRows - (size_ & (kGroupRows - 1)));
        const Group& group = groups_.back();
        if (group.wide == kShort && ends[0] >= group.anchor &&
            ends[n - 1] - group.anchor <= kShortReach) {
            // Ends only grow, so the group's first and last tell that all are in reach.
            std::uint16_t* const out = &shortEnd(size_);
            for (std::size_t i = 0; i < n; ++i) {
                out[i] = static_cast<std::uint16_t>(ends[i] - group.anchor);
            }
            size_ += n;
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                setEnd(size_++, ends[i]);
            }
        }
        begin = ends[n - 1];
        ends += n;
        count -= n;
    }
}

void ResultsStore::appendPage(RowPage& page, std::size_t rows) {
    rows = std::min(rows, page.size());
    if (rows == 0) {
        return;
    }
    // The page is sealed before anything changes here, and given its place before its bytes
    // leave it: a failure at either step leaves the store as it was and the bytes owned.
    page.seal();
    syncUsed();
    shrinkLast();
    pages_.emplace_back();
    const std::size_t used = page.ends_[rows - 1];
    const std::size_t capacity = std::max<std::size_t>(used, 1);
    const bool all = rows == page.size();
    char* bytes = page.release();
    // The bytes of rows not taken go back.
    if (auto* shrunk = all ? bytes : static_cast<char*>(std::realloc(bytes, capacity))) {
        bytes = shrunk;
    }
    pages_.back() = {bytes, capacity, used, size_};
    pushEnds(page.ends_.get(), rows);
    resetCursors();
}

void ResultsStore::setEnd(std::size_t index, std::size_t end) {
    Group& group = groups_[index >> kGroupShift];
    if (group.wide == kShort) {
        if (end >= group.anchor && end - group.anchor <= kShortReach) {
            shortEnd(index) = static_cast<std::uint16_t>(end - group.anchor);
            return;
        }
        widen(group, index & ~(kGroupRows - 1));
    }
    wideEnds_[group.wide][index & (kGroupRows - 1)] = static_cast<std::uint32_t>(end);
}

void ResultsStore::widen(Group& group, std::size_t firstRow) {
    auto ends = std::make_unique_for_overwrite<std::uint32_t[]>(kGroupRows);
    for (std::size_t i = firstRow; i < std::min(size_, firstRow + kGroupRows); ++i) {
        ends[i - firstRow] = static_cast<std::uint32_t>(endOf(i));
    }
    group.wide = static_cast<std::uint32_t>(wideEnds_.size());
    wideEnds_.push_back(std::move(ends));
}

void ResultsStore::dropLastGroup() {
    const std::uint32_t wide = groups_.back().wide;
    groups_.pop_back();
    if (wide == kShort) {
        return;
    }
    // The last wide ends move into the freed slot, so that the slots stay dense.
    const auto last = static_cast<std::uint32_t>(wideEnds_.size() - 1);
    if (wide != last) {
        wideEnds_[wide] = std::move(wideEnds_[last]);
        for (Group& group : groups_) {
            if (group.wide == last) {
                group.wide = wide;
            }
        }
    }
    wideEnds_.pop_back();
}

std::size_t ResultsStore::pageOf(std::size_t index) const {
    const auto after =
        std::upper_bound(pages_.begin(), pages_.end(), index,
                         [](std::size_t row, const Page& page) { return row < page.firstRow; });
    return static_cast<std::size_t>(after - pages_.begin()) - 1;
}

std::string_view ResultsStore::row(std::size_t index) const {
    const Page& page = pages_[pageOf(index)];
    const std::size_t begin = index == page.firstRow ? 0 : endOf(index - 1);
    return {page.bytes + begin, endOf(index) - begin};
}

void ResultsStore::removeAt(std::size_t index) {
    syncUsed();
    const std::size_t p = pageOf(index);
    Page& page = pages_[p];
    const std::size_t begin = index == page.firstRow ? 0 : endOf(index - 1);
    const std::size_t end = endOf(index);
    const std::size_t length = end - begin;
    std::memmove(page.bytes + begin, page.bytes + end, page.used - end);
    page.used -= length;
    const std::size_t pageEnd = p + 1 < pages_.size() ? pages_[p + 1].firstRow : size_;
    for (std::size_t i = index; i + 1 < size_; ++i) {
        const std::size_t next = endOf(i + 1);
        setEnd(i, i + 1 < pageEnd ? next - length : next);
    }
    --size_;
    if ((size_ & (kGroupRows - 1)) == 0 && groups_.size() > size_ >> kGroupShift) {
        dropLastGroup();
    }
    for (std::size_t q = p + 1; q < pages_.size(); ++q) {
        --pages_[q].firstRow;
    }
    if (pageEnd - page.firstRow == 1) {
        releasePage(p);
    }
    if (blocks_.size() * kBlockRows - size_ >= kBlockRows) {
        blocks_.pop_back();
    }
    resetCursors();
}

void ResultsStore::releasePage(std::size_t pageIndex) {
    std::free(pages_[pageIndex].bytes);
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(pageIndex));
}

void ResultsStore::clear() {
    for (const Page& page : pages_) {
        std::free(page.bytes);
    }
    std::vector<Page>().swap(pages_);
    std::vector<std::unique_ptr<std::uint16_t[]>>().swap(blocks_);
    std::vector<Group>().swap(groups_);
    std::vector<std::unique_ptr<std::uint32_t[]>>().swap(wideEnds_);
    size_ = 0;
    resetCursors();
    malloc_trim(0);
}

RowPage::RowPage(RowPage&& other) noexcept
    : room_(std::exchange(other.room_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      used_(std::exchange(other.used_, 0)),
      sealed_(std::exchange(other.sealed_, nullptr)),
      ends_(std::move(other.ends_)),
      rows_(std::exchange(other.rows_, 0)),
      endsCapacity_(std::exchange(other.endsCapacity_, 0)) {}

RowPage::~RowPage() {
    std::free(room_);
    std::free(sealed_);
}

void RowPage::clear(std::size_t capacity) {
    std::free(std::exchange(sealed_, nullptr));
    used_ = 0;
    rows_ = 0;
    if (capacity_ < capacity) {
        std::free(std::exchange(room_, nullptr));
        capacity_ = 0;
        reserve(capacity, 0);
    }
}

void RowPage::seal() {
    if (sealed_ != nullptr) {
        return;
    }
    sealed_ = static_cast<char*>(std::malloc(std::max<std::size_t>(used_, 1)));
    if (sealed_ == nullptr) {
        throw std::bad_alloc();
    }
    if (used_ > 0) {
        prefault(sealed_, used_);
        std::memcpy(sealed_, room_, used_);
    }
}

char* RowPage::release() {
    seal();
    used_ = rows_ = 0;
    return std::exchange(sealed_, nullptr);
}

void RowPage::reserve(std::size_t bytes, std::size_t rows) {
    if (capacity_ - used_ < bytes) {
        if (used_ + bytes > std::numeric_limits<std::uint32_t>::max()) {
            throw std::length_error("A page of result rows of 4 GiB or more cannot be kept");
        }
        const std::size_t capacity = std::max(2 * capacity_, used_ + bytes);
        auto* grown = static_cast<char*>(std::realloc(room_, capacity));
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        room_ = grown;
        capacity_ = capacity;
    }
    if (endsCapacity_ - rows_ < rows) {
        const std::size_t capacity = std::max(2 * endsCapacity_, rows_ + rows);
        auto ends = std::make_unique_for_overwrite<std::uint32_t[]>(capacity);
        std::copy_n(ends_.get(), rows_, ends.get());
        ends_ = std::move(ends);
        endsCapacity_ = capacity;
    }
}

template <class Row, class ViewOf>
void RowPage::appendEach(std::span<const Row> rows, std::string_view source, ViewOf viewOf) {
    reserve(0, rows.size());
    const char* const sourceEnd = source.data() + source.size();
    std::uint32_t* ends = ends_.get() + rows_;
    for (const Row& each : rows) {
        const std::string_view row = viewOf(each);
        const std::size_t n = row.size();
        if (n <= kMoveBytes && sourceEnd - row.data() >= static_cast<std::ptrdiff_t>(kMoveBytes) &&
            capacity_ - used_ >= kMoveBytes) {
            // One fixed-size move, which may read past the row (not past the source) and
            // write past it into the spare room.
            std::memcpy(room_ + used_, row.data(), kMoveBytes);
        } else {
            reserve(n, 0);
            if (n > 0) {
                std::memcpy(room_ + used_, row.data(), n);
            }
        }
        used_ += n;
        *ends++ = static_cast<std::uint32_t>(used_);
    }
    rows_ += rows.size();
}

void RowPage::appendRows(std::span<const std::string_view> rows, std::string_view source) {
    appendEach(rows, source, [](std::string_view row) { return row; });
}

void RowPage::appendSpans(std::span<const RowSpan> rows, std::string_view source) {
    const char* const base = source.data();
    appendEach(rows, source, [base](RowSpan row) {
        return std::string_view(base + row.begin, row.end - row.begin);
    });
}

std::size_t ResultsStore::memoryBytes() const {
    std::size_t bytes = pages_.capacity() * sizeof(Page) + blocks_.capacity() * sizeof(blocks_[0]) +
                        blocks_.size() * kBlockRows * sizeof(std::uint16_t) +
                        groups_.capacity() * sizeof(Group) +
                        wideEnds_.capacity() * sizeof(wideEnds_[0]) +
                        wideEnds_.size() * kGroupRows * sizeof(std::uint32_t);
    for (const Page& page : pages_) {
        bytes += page.capacity;
    }
    return bytes;
}

}  // namespace culvex
