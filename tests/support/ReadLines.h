#pragma once

#include "engine/FileReader.h"

#include <string>
#include <vector>

namespace culvex::testing {

// The lines of a source, in order, as the block reader and its line walker give them.
inline std::vector<std::string> readLines(ByteSource& source,
                                          std::size_t blockBytes = kBlockBytes) {
    std::vector<std::string> lines;
    LineBlocks blocks(source, blockBytes);
    while (blocks.next()) {
        TextLines walker(blocks.text());
        std::string_view line;
        while (walker.next(line)) {
            lines.emplace_back(line);
        }
    }
    return lines;
}

}  // namespace culvex::testing
