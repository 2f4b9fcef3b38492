#include "engine/ResultsStore.h"

#include "RecordingSink.h"
#include "engine/ResultsSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace culvex {
namespace {

std::vector<std::string> rowsOf(const ResultsStore& store) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < store.size(); ++i) {
        rows.emplace_back(store.row(i));
    }
    return rows;
}

TEST(ResultsStore, KeepsRowsInOrderIncludingEmptyAndBinaryRows) {
    ResultsStore store;
    const std::vector<std::string> rows = {"a", "", std::string("x\0y", 3), "\xff\x80", ""};
    for (const std::string& row : rows) {
        store.append(row);
    }
    EXPECT_EQ(rowsOf(store), rows);
}

TEST(ResultsStore, RemoveAtKeepsTheOtherRows) {
    const struct {
        std::size_t index;
        std::vector<std::string> expected;
    } cases[] = {
        {0, {"bb", "", "dddd"}},
        {1, {"a", "", "dddd"}},
        {2, {"a", "bb", "dddd"}},
        {3, {"a", "bb", ""}},
    };
    for (const auto& c : cases) {
        ResultsStore store;
        for (const char* row : {"a", "bb", "", "dddd"}) {
            store.append(row);
        }
        store.removeAt(c.index);
        EXPECT_EQ(rowsOf(store), c.expected) << c.index;
        store.append("z");
        EXPECT_EQ(store.row(store.size() - 1), "z");
    }
}

TEST(ResultsStore, ClearEmptiesAndReleases) {
    ResultsStore store;
    for (int i = 0; i < 1000; ++i) {
        store.append("row");
    }
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.memoryBytes(), 0u);
    store.append("again");
    EXPECT_EQ(rowsOf(store), std::vector<std::string>{"again"});
}

TEST(ResultsStore, RowsSpanManyPagesAndLongRowsGetTheirOwn) {
    ResultsStore store;
    std::vector<std::string> rows;
    const std::string longRow(ResultsStore::kPageBytes + 7, 'L');
    for (int i = 0; i < 300000; ++i) {
        if (i % 100000 == 5) {
            rows.push_back(longRow);
        } else if (i >= 200000 && i < 200400) {
            // Rows long enough that a run of them lies beyond 64 KiB of its first.
            rows.push_back(std::string(900 + i % 7, 'm'));
        } else {
            rows.push_back(std::to_string(i) + "-field");
        }
        store.append(rows.back());
    }
    EXPECT_EQ(rowsOf(store), rows);

    // Removing rows at page starts, ends and in the long rows keeps the rest intact.
    for (const std::size_t index :
         {std::size_t{0}, std::size_t{100004}, std::size_t{5}, std::size_t{150000},
          std::size_t{200100}, std::size_t{299990}}) {
        store.removeAt(index);
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
    }
    store.append("tail");
    rows.push_back("tail");
    EXPECT_EQ(rowsOf(store), rows);
}

TEST(ResultsStore, RemovingEveryRowOneByOneLeavesItEmptyAndUsable) {
    ResultsStore store;
    for (int i = 0; i < 3000; ++i) {
        store.append(i % 3 == 0 ? "" : "row");
    }
    while (!store.empty()) {
        store.removeAt(store.size() / 2);
    }
    store.append("x");
    EXPECT_EQ(rowsOf(store), std::vector<std::string>{"x"});
}

TEST(ResultsStore, CostsLittleMoreThanTheRowBytes) {
    const struct {
        int rows;
        int lengths;
    } cases[] = {{2000000, 13}, {20000, 1300}};
    for (const auto& c : cases) {
        ResultsStore store;
        std::size_t rowBytes = 0;
        for (int i = 0; i < c.rows; ++i) {
            const std::string row(static_cast<std::size_t>(i % c.lengths), 'x');
            rowBytes += row.size();
            store.append(row);
        }
        // The last page's spare room aside.
        EXPECT_LE(store.memoryBytes(), rowBytes + 10 * store.size() + ResultsStore::kPageBytes)
            << c.lengths;
    }
}

TEST(ResultsStore, AppendRowsAndSpansKeepTheSameRowsAsAppendingOneByOne) {
    // Rows at both edges of the source, empty rows, rows longer than one fixed-size move,
    // and enough rows to cross pages and offset blocks.
    std::string source = "edge";
    for (int i = 0; i < 200000; ++i) {
        source += i % 1000 == 7 ? std::string(40 + i % 30, 'w') : " r" + std::to_string(i) + ",";
    }
    source += "end";
    std::vector<std::string_view> rows = {std::string_view(source).substr(0, 4)};
    for (std::size_t at = 4; at + 3 < source.size(); at += 9) {
        rows.push_back(std::string_view(source).substr(at, at % 7));
    }
    rows.push_back(std::string_view(source).substr(source.size() - 3));
    rows.push_back(std::string_view(source).substr(source.size()));

    std::vector<RowSpan> spans;
    for (const std::string_view row : rows) {
        const auto begin = static_cast<std::uint32_t>(row.data() - source.data());
        spans.push_back({begin, begin + static_cast<std::uint32_t>(row.size())});
    }

    ResultsStore oneByOne;
    ResultsStore batched;
    ResultsStore spanned;
    ResultsStore paged;
    for (ResultsStore* store : {&oneByOne, &batched, &spanned, &paged}) {
        store->append("before");
    }
    for (const std::string_view row : rows) {
        oneByOne.append(row);
    }
    // Pages of rows cut apart, taken over in turn with rows appended between them, one
    // page too small for its rows from the start.
    RowPage page;
    for (std::size_t at = 0; at < rows.size(); at += 500) {
        const std::size_t count = std::min<std::size_t>(500, rows.size() - at);
        batched.appendRows(std::span(rows).subspan(at, count), source);
        spanned.appendSpans(std::span(spans).subspan(at, count), source);
        page.clear(at == 1000 ? 10 : 4000);
        page.appendSpans(std::span(spans).subspan(at, count - 1), source);
        page.appendRows(std::span(rows).subspan(at + count - 1, 1), source);
        paged.appendPage(page, page.size());
    }
    EXPECT_EQ(rowsOf(batched), rowsOf(oneByOne));
    EXPECT_EQ(batched.memoryBytes(), oneByOne.memoryBytes());
    EXPECT_EQ(rowsOf(spanned), rowsOf(oneByOne));
    EXPECT_EQ(spanned.memoryBytes(), oneByOne.memoryBytes());
    EXPECT_EQ(rowsOf(paged), rowsOf(oneByOne));

    // Rows removed from taken pages, and a page taken only in part.
    for (const std::size_t index : {std::size_t{1}, std::size_t{500}, std::size_t{777}}) {
        paged.removeAt(index);
        oneByOne.removeAt(index);
    }
    page.clear(100);
    page.appendRows(std::span(rows).first(3), source);
    paged.appendPage(page, 2);
    for (const std::string_view row : std::span(rows).first(2)) {
        oneByOne.append(row);
    }
    paged.append("after");
    oneByOne.append("after");
    EXPECT_EQ(rowsOf(paged), rowsOf(oneByOne));
}

TEST(RowBatch, HandsRowsOverInOrderAndAllOnFlush) {
    testing::RecordingSink sink;
    const std::string source = "0123456789";
    RowBatch batch(sink, source);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < 2 * RowBatch::kCapacity + 3; ++i) {
        batch.add(std::string_view(source).substr(i % 10, 1));
        expected.push_back(source.substr(i % 10, 1));
    }
    EXPECT_EQ(sink.rows.size(), 2 * RowBatch::kCapacity);
    batch.flush();
    batch.flush();
    EXPECT_EQ(sink.rows, expected);
    EXPECT_EQ(sink.batches, 3);
}

}  // namespace
}  // namespace culvex
