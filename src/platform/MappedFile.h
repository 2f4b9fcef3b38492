#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace culvex {

// A whole file mapped read-only into memory for one sequential pass. The pages come from
// the system's file cache on demand, so even a file larger than the machine's memory can
// be read. An empty file gives an empty view.
//
// Failures throw std::runtime_error whose what() is "Cannot open <path>: <system wording>"
// (or "Cannot read"/"Cannot map"), for a missing file, a folder or a refused access.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace culvex
