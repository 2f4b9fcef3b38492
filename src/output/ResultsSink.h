#pragma once

#include <string_view>

namespace culvex {

// Where the extraction run appends result rows (bytes in the input's code page). Rows
// reach the view when published, so the list grows in batches rather than row by row.
class ResultsSink {
public:
    virtual ~ResultsSink() = default;
    virtual void append(std::string_view row) = 0;
    virtual void publish() = 0;
};

}  // namespace culvex
