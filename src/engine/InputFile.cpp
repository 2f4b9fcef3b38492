#include "engine/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace culvex {
namespace {

[[noreturn]] void fail(const char* action, const std::string& path, int error) {
    throw std::runtime_error(std::string(action) + ' ' + path + ": " + std::strerror(error));
}

// Why a file of this type is not read, or 0 for a regular file.
int refusal(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }
    return S_ISREG(info.st_mode) ? 0 : ENODEV;
}

}  // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
    // Non-blocking, so that a named pipe in the list cannot hang the window.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        fail("Cannot open", path, errno);
    }
    struct stat info {};
    const bool known = ::fstat(fd_, &info) == 0;
    const int error = known ? refusal(info) : errno;
    if (error != 0) {
        ::close(fd_);
        fail(known ? "Cannot open" : "Cannot read", path, error);
    }
    left_ = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size)
                             : std::numeric_limits<std::uint64_t>::max();
}

InputFile::~InputFile() {
    // Nothing was written through this descriptor, so a failing close loses nothing.
    ::close(fd_);
}

std::size_t InputFile::read(char* into, std::size_t count) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, left_));
    if (wanted == 0) {
        return 0;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, into, wanted);
        if (got >= 0) {
            left_ -= static_cast<std::uint64_t>(got);
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            fail("Cannot read", path_, errno);
        }
    }
}

}  // namespace culvex
