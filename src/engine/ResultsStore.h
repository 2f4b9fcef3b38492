#pragma once

#include "engine/ResultsSink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace culvex {

// Rows cut on any thread into bytes of their own, each row's end kept in 32 bits, for a
// results store to take over whole (ResultsStore::appendPage) instead of copying them. The
// rows are written into room kept from page to page and moved into bytes of just their
// size when the page is sealed, so that a store keeps no spare room and the system's heap
// no leftovers of shrunk pages.
class RowPage {
public:
    RowPage() = default;
    RowPage(RowPage&& other) noexcept;
    RowPage& operator=(RowPage&&) = delete;
    RowPage(const RowPage&) = delete;
    ~RowPage();

    // Empties the page, with room for `capacity` bytes of rows before it has to grow.
    void clear(std::size_t capacity);
    // Appends the rows, which lie within `source`, in order.
    void appendRows(std::span<const std::string_view> rows, std::string_view source);
    void appendSpans(std::span<const RowSpan> rows, std::string_view source);
    // Moves the rows into bytes of their own; no rows are appended after.
    void seal();
    std::size_t size() const { return rows_; }
    // What is left of the room the page was cleared with.
    std::size_t room() const { return capacity_ - used_; }

    // The fixed size of the move that copies a short row.
    static constexpr std::size_t kMoveBytes = 32;

private:
    friend class ResultsStore;
    template <class Row, class ViewOf>
    void appendEach(std::span<const Row> rows, std::string_view source, ViewOf viewOf);
    // Room for `bytes` more bytes of rows and `rows` more ends.
    void reserve(std::size_t bytes, std::size_t rows);
    // Hands the sealed bytes over to their new owner; the page is left empty.
    char* release();

    char* room_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    char* sealed_ = nullptr;
    std::unique_ptr<std::uint32_t[]> ends_;
    std::size_t rows_ = 0;
    std::size_t endsCapacity_ = 0;
};

// The rows of the results list as bytes in the input's code page. Rows are packed into
// pages of bytes (a page that is full is shrunk to what it holds; a page of rows cut on
// another thread is taken over as it is). A row's end offset
// within its page is kept in 16 bits as the distance from its group's anchor, one 32-bit
// anchor for every 128 rows; a group whose ends do not all lie within 64 KiB of its anchor
// (long rows, or a new page begun within the group) keeps them in 32 bits instead. A
// hundred million short rows therefore cost their bytes plus a little over two bytes each,
// with no allocation per row and no spare capacity from doubling growth.
class ResultsStore {
public:
    ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;
    ~ResultsStore();

    void append(std::string_view row) {
        const std::size_t n = row.size();
        if (n - 1 < static_cast<std::size_t>(fastLimit_ - cursor_) && nextEnd_ != endsLimit_) {
            copyRow(cursor_, row);
            cursor_ += n;
            *nextEnd_++ = static_cast<std::uint16_t>(cursor_ - anchor_);
            ++size_;
            return;
        }
        appendSlow(row);
    }
    // Appends the rows in order, as `append` one by one. Every row lies within `source`;
    // short rows are copied in one fixed-size move that may read past the row's end (but
    // not past the source's) and write past it into the page's spare room.
    void appendRows(std::span<const std::string_view> rows, std::string_view source);
    // The same for rows given as spans of `source`.
    void appendSpans(std::span<const RowSpan> rows, std::string_view source);
    // Appends the first `rows` rows of `page` by taking its bytes over as a page of the
    // store's own; the page is left empty.
    void appendPage(RowPage& page, std::size_t rows);
    void removeAt(std::size_t index);
    // Empties the store and gives its memory back.
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view row(std::size_t index) const;
    // Calls visit(row) for the rows first to last - 1 in order, walking the pages once
    // instead of looking up each row's page; `last` is at most size().
    template <class Visit>
    void forEachRow(std::size_t first, std::size_t last, Visit&& visit) const {
        std::size_t p = first < last ? pageOf(first) : 0;
        for (std::size_t index = first; index < last; ++p) {
            const Page& page = pages_[p];
            const std::size_t pageEnd = p + 1 < pages_.size() ? pages_[p + 1].firstRow : size_;
            std::size_t begin = index == page.firstRow ? 0 : endOf(index - 1);
            for (const std::size_t stop = std::min(last, pageEnd); index < stop; ++index) {
                const std::size_t end = endOf(index);
                visit(std::string_view(page.bytes + begin, end - begin));
                begin = end;
            }
        }
    }
    // Bytes held for rows and offsets, including spare capacity.
    std::size_t memoryBytes() const;

    // Bytes of a page that rows share; a longer row gets a page of its own.
    static constexpr std::size_t kPageBytes = std::size_t{1} << 20;

private:
    static constexpr unsigned kBlockShift = 16;
    static constexpr std::size_t kBlockRows = std::size_t{1} << kBlockShift;
    static constexpr unsigned kGroupShift = 7;
    static constexpr std::size_t kGroupRows = std::size_t{1} << kGroupShift;
    // The farthest a short end lies from its group's anchor.
    static constexpr std::size_t kShortReach = 0xffff;
    // Marks a group whose ends are short.
    static constexpr std::uint32_t kShort = ~std::uint32_t{0};
    static constexpr std::size_t kMoveBytes = RowPage::kMoveBytes;

    struct Page {
        char* bytes = nullptr;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::size_t firstRow = 0;
    };
    struct Group {
        std::uint32_t anchor = 0;
        // kShort, or the index of the group's 32-bit ends in wideEnds_.
        std::uint32_t wide = kShort;
    };
    std::uint16_t& shortEnd(std::size_t index) {
        return blocks_[index >> kBlockShift][index & (kBlockRows - 1)];
    }
    std::size_t endOf(std::size_t index) const {
        const Group& group = groups_[index >> kGroupShift];
        if (group.wide == kShort) {
            return std::size_t{group.anchor} +
                   blocks_[index >> kBlockShift][index & (kBlockRows - 1)];
        }
        return wideEnds_[group.wide][index & (kGroupRows - 1)];
    }
    // Keeps `end` as the end of row `index`, whose group exists, moving the group to 32-bit
    // ends if `end` is out of its anchor's reach.
    void setEnd(std::size_t index, std::size_t end);
    void widen(Group& group, std::size_t firstRow);
    void dropLastGroup();
    // Short rows, the usual case, are copied without a library call.
    static void copyRow(char* to, std::string_view row) {
        const char* from = row.data();
        const std::size_t n = row.size();
        if (n >= 8 && n <= 16) {
            std::uint64_t head;
            std::uint64_t tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + n - 8, 8);
            std::memcpy(to, &head, 8);
            std::memcpy(to + n - 8, &tail, 8);
        } else if (n >= 4 && n < 8) {
            std::uint32_t head;
            std::uint32_t tail;
            std::memcpy(&head, from, 4);
            std::memcpy(&tail, from + n - 4, 4);
            std::memcpy(to, &head, 4);
            std::memcpy(to + n - 4, &tail, 4);
        } else if (n < 4) {
            to[0] = from[0];
            to[n / 2] = from[n / 2];
            to[n - 1] = from[n - 1];
        } else {
            std::memcpy(to, from, n);
        }
    }
    void appendSlow(std::string_view row);
    // Appends viewOf(row) for each row.
    template <class Row, class ViewOf>
    void appendEach(std::span<const Row> rows, std::string_view source, ViewOf viewOf);
    // The last page's fill level lives in the write cursor while rows are appended.
    void syncUsed();
    void resetCursors();
    std::size_t pageOf(std::size_t index) const;
    void startPage(std::size_t capacity);
    // A full page keeps only what it holds.
    void shrinkLast();
    // Opens the group that row size_ begins, whose first row starts at `begin`.
    void openGroup(std::size_t begin);
    // Appends rows whose ends in the last page are `ends`, in order.
    void pushEnds(const std::uint32_t* ends, std::size_t count);
    void pushEnd(std::size_t begin, std::size_t end);
    void releasePage(std::size_t pageIndex);

    std::vector<Page> pages_;
    std::vector<std::unique_ptr<std::uint16_t[]>> blocks_;
    std::vector<Group> groups_;
    std::vector<std::unique_ptr<std::uint32_t[]>> wideEnds_;
    std::size_t size_ = 0;
    // Where the next row goes in the last page, and where that page ends.
    char* pageBase_ = nullptr;
    char* cursor_ = nullptr;
    char* limit_ = nullptr;
    // The open group's anchor in the last page, and how far rows may be appended without
    // leaving the page or the anchor's reach (the cursor itself when they may not).
    const char* anchor_ = nullptr;
    char* fastLimit_ = nullptr;
    // Where the next row's short end goes, and the end of its group.
    std::uint16_t* nextEnd_ = nullptr;
    std::uint16_t* endsLimit_ = nullptr;
};

}  // namespace culvex
