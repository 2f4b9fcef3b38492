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

}  // namespace
}  // namespace culvex
