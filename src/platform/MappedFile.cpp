#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace culvex {
namespace {

[[noreturn]] void fail(const char* action, const std::string& path, int error) {
    throw std::runtime_error(std::string(action) + ' ' + path + ": " + std::strerror(error));
}

// Closes the descriptor when the constructor leaves, whether it mapped the file or not;
// the mapping stays valid after the close.
struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

}  // namespace

MappedFile::MappedFile(const std::string& path) {
    // Non-blocking, so that a named pipe in the list cannot hang the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        fail("Cannot open", path, errno);
    }
    const Descriptor guard{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        fail("Cannot read", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        fail("Cannot open", path, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        fail("Cannot open", path, ENODEV);
    }
    if (info.st_size == 0) {
        return;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapping == MAP_FAILED) {
        fail("Cannot map", path, errno);
    }
    ::madvise(mapping, size, MADV_SEQUENTIAL);
    data_ = static_cast<const char*>(mapping);
    size_ = size;
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) {
        ::munmap(const_cast<char*>(data_), size_);
    }
}

}  // namespace culvex
