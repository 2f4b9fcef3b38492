#include "engine/TextFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace culvex {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;
constexpr int kNameAttempts = 100;

[[noreturn]] void fail(int error) {
    throw std::runtime_error(std::generic_category().message(error));
}

// A link is followed, so that saving over it replaces the file it points to and keeps
// the link.
std::string resolvedTarget(const std::string& path) {
    std::string native = path;
    struct stat st {};
    if (::lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(native.c_str(), nullptr)) {
            native = real;
            std::free(real);
        }
    }
    return native;
}

// Writing into the target itself is tried only when the folder refuses a new file.
bool folderRefusesNewFiles(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

}  // namespace

int FileCalls::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileCalls::write(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int FileCalls::sync(int fd) { return ::fsync(fd); }
int FileCalls::close(int fd) { return ::close(fd); }
int FileCalls::rename(const char* from, const char* to) { return ::rename(from, to); }

FileCalls& FileCalls::system() {
    static FileCalls calls;
    return calls;
}

TextFileWriter::TextFileWriter(const std::string& path, FileCalls& calls)
    : calls_(calls), target_(resolvedTarget(path)) {
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        fail(EISDIR);
    }
    // A device or pipe of that name is written to, never replaced.
    const bool regular = !exists || S_ISREG(st.st_mode);
    if (regular) {
        openTemporary();
        if (fd_ < 0 && !(exists && folderRefusesNewFiles(errno))) {
            fail(errno);
        }
    }
    if (fd_ < 0) {
        openInPlace(regular);
    } else if (exists && ::fchmod(fd_, st.st_mode & 07777) != 0) {
        const int error = errno;
        discard();
        fail(error);
    }
    buffer_.reserve(kBufferBytes);
}

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::write(std::string_view bytes) {
    buffer_.append(bytes);
    flushWhenFull();
}

// A regular file written in place keeps its old bytes until close(), so that a save given
// up before then leaves it as it was.
void TextFileWriter::flushWhenFull() {
    if (buffer_.size() >= kBufferBytes && !cutToLength_) {
        flush();
    }
}

void TextFileWriter::close() {
    // The bytes held for a target written in place reach it only once the save goes ahead.
    if (cutToLength_ && !goAhead()) {
        error_ = ECANCELED;
    }
    flush();
    finish();
}

bool TextFileWriter::abandon() noexcept {
    Decision expected = Decision::Open;
    return decision_.compare_exchange_strong(expected, Decision::Abandoned) ||
           expected == Decision::Abandoned;
}

bool TextFileWriter::goAhead() noexcept {
    Decision expected = Decision::Open;
    return decision_.compare_exchange_strong(expected, Decision::GoingAhead) ||
           expected == Decision::GoingAhead;
}

// Leaves fd_ negative and errno set when no name beside the target can be created.
void TextFileWriter::openTemporary() {
    std::minstd_rand numbers(std::random_device{}());
    std::uniform_int_distribution<int> suffix(0, 999999);
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        const std::string name = target_ + '.' + std::to_string(suffix(numbers));
        fd_ = calls_.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = name;
        } else if (errno != EEXIST) {
            return;
        }
    }
}

void TextFileWriter::openInPlace(bool regular) {
    fd_ = calls_.open(target_.c_str(), O_WRONLY | O_CLOEXEC, 0);
    if (fd_ < 0) {
        fail(errno);
    }
    cutToLength_ = regular;
}

// After the first failure nothing more is written; close() reports it.
void TextFileWriter::flush() {
    std::size_t done = 0;
    while (error_ == 0 && done < buffer_.size()) {
        const ssize_t count = calls_.write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
        } else if (count == 0) {
            error_ = ENOSPC;
        } else if (errno != EINTR) {
            error_ = errno;
        }
    }
    written_ += static_cast<off_t>(done);
    buffer_.clear();
}

// A file written in place is cut to the new length, as it may have been longer.
void TextFileWriter::finish() {
    if (error_ == 0 && cutToLength_ && ::ftruncate(fd_, written_) != 0) {
        error_ = errno;
    }
    if (error_ == 0 && calls_.sync(fd_) != 0 && errno != EINVAL) {
        error_ = errno;
    }
    if (calls_.close(std::exchange(fd_, -1)) != 0 && error_ == 0) {
        error_ = errno;
    }
    if (error_ == 0 && !goAhead()) {
        error_ = ECANCELED;
    }
    if (error_ == 0 && !temporary_.empty() &&
        calls_.rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
    }
    if (error_ == 0) {
        temporary_.clear();
        return;
    }
    discard();
    fail(error_);
}

// Ends an unfinished save: the temporary file goes, a target written directly stays as far
// as it was written.
void TextFileWriter::discard() noexcept {
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace culvex
