// Bytes of a file -> its lines. Checks that the lines, joined again with the breaks they
// lost, give back the bytes.
#include "extract/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    culvex::TextLines lines(bytes);
    std::string_view line;
    std::size_t count = 0;
    std::size_t offset = 0;
    while (lines.next(line)) {
        ++count;
        if (line.find('\n') != std::string_view::npos) {
            std::abort();
        }
        if (bytes.substr(offset, line.size()) != line) {
            std::abort();
        }
        offset += line.size();
        if (offset < size) {
            // The break: LF, or CR LF where the line lost its CR.
            offset += bytes[offset] == '\r' ? 2 : 1;
            if (bytes[offset - 1] != '\n') {
                std::abort();
            }
        }
    }
    if (count == 0 || offset != size || lines.next(line)) {
        std::abort();
    }
    return 0;
}
