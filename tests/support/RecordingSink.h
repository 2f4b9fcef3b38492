#pragma once

#include "engine/ResultsSink.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace culvex::testing {

// A results list that keeps every row it is given, counts the batches it is handed and
// the rows published so far.
class RecordingSink : public ResultsSink {
public:
    std::vector<std::string> rows;
    int batches = 0;
    int publishedRows = 0;

    void append(std::string_view row) override { rows.emplace_back(row); }
    void appendBatch(std::span<const std::string_view> batch, std::string_view source) override {
        ++batches;
        ResultsSink::appendBatch(batch, source);
    }
    void publish() override { publishedRows = static_cast<int>(rows.size()); }
};

}  // namespace culvex::testing
