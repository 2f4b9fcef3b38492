#pragma once

#include "engine/ResultsSink.h"

#include <string>
#include <string_view>
#include <vector>

namespace culvex::testing {

// A results list that keeps every row it is given and counts the rows published so far.
class RecordingSink : public ResultsSink {
public:
    std::vector<std::string> rows;
    int publishedRows = 0;

    void append(std::string_view row) override { rows.emplace_back(row); }
    void publish() override { publishedRows = static_cast<int>(rows.size()); }
};

}  // namespace culvex::testing
