// Bytes of a file -> its lines, read in small blocks. The first byte chooses the block size,
// so that lines and CR LF pairs are cut at every place. Checks that the lines, joined again
// with the breaks they lost, give back the bytes.
#include "engine/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t blockBytes = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    culvex::MemorySource source(bytes);
    culvex::LineBlocks blocks(source, blockBytes);
    std::size_t count = 0;
    std::size_t offset = 0;
    while (blocks.next()) {
        culvex::TextLines lines(blocks.text());
        std::string_view line;
        while (lines.next(line)) {
            ++count;
            if (line.find('\n') != std::string_view::npos) {
                std::abort();
            }
            if (bytes.substr(offset, line.size()) != line) {
                std::abort();
            }
            offset += line.size();
            if (offset < bytes.size()) {
                // The break: LF, or CR LF where the line lost its CR.
                offset += bytes[offset] == '\r' ? 2 : 1;
                if (bytes[offset - 1] != '\n') {
                    std::abort();
                }
            }
        }
    }
    if (count == 0 || offset != bytes.size() || blocks.next()) {
        std::abort();
    }
    return 0;
}
