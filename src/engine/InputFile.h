#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace culvex {

// Where a reader takes its bytes from, one piece after the other.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to `count` of the next bytes to `into` and returns how many it copied; 0
    // means that no bytes are left.
    virtual std::size_t read(char* into, std::size_t count) = 0;
};

// A file opened for one pass of reads from its start, up to the size it had when opened.
// A file whose size reads as 0 (as the system's generated files under /proc do) is read
// until the system reports its end. A file that shrinks while it is read ends where the
// reads come back empty; nothing read before is taken back.
//
// Failures throw std::runtime_error whose what() is "Cannot open <path>: <system wording>"
// (or "Cannot read ..." for a failed read), for a missing file, a folder, a device or a
// refused access.
class InputFile final : public ByteSource {
public:
    explicit InputFile(const std::string& path);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::size_t read(char* into, std::size_t count) override;

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t left_ = 0;  // bytes up to the size at opening
};

}  // namespace culvex
