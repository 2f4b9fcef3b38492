#include "output/ResultsStore.h"

#include <gtest/gtest.h>

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
        rows.push_back(i % 100000 == 5 ? longRow : std::to_string(i) + "-field");
        store.append(rows.back());
    }
    EXPECT_EQ(rowsOf(store), rows);

    // Removing rows at page starts, ends and in the long rows keeps the rest intact.
    for (const std::size_t index : {std::size_t{0}, std::size_t{100004}, std::size_t{5},
                                    std::size_t{150000}, std::size_t{299990}}) {
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
    ResultsStore store;
    std::size_t rowBytes = 0;
    for (int i = 0; i < 2000000; ++i) {
        const std::string row(static_cast<std::size_t>(i % 13), 'x');
        rowBytes += row.size();
        store.append(row);
    }
    EXPECT_LE(store.memoryBytes(), rowBytes + 10 * store.size());
}

}  // namespace
}  // namespace culvex
