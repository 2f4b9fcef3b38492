#pragma once

#include "engine/ResultsSink.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace culvex::testing {

// A results list that keeps every row it is given, counts the batches it is handed and
// the rows published so far.
class RecordingSink : public ResultsSink {
public:
    std::vector<std::string> rows;
    int batches = 0;
    int publishedRows = 0;
    // Rows past this many are turned away and counted, as by a full results list.
    std::size_t maxRows = SIZE_MAX;
    std::size_t rowsLeftOut = 0;

    void append(std::string_view row) override {
        if (rows.size() < maxRows) {
            rows.emplace_back(row);
        } else {
            ++rowsLeftOut;
        }
    }
    void appendBatch(std::span<const std::string_view> batch, std::string_view source) override {
        ++batches;
        ResultsSink::appendBatch(batch, source);
    }
    void publish() override { publishedRows = static_cast<int>(rows.size()); }
    std::size_t takeRowsLeftOut() override { return std::exchange(rowsLeftOut, 0); }
};

}  // namespace culvex::testing
