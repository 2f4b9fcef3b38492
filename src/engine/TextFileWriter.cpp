#include "engine/TextFileWriter.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <mutex>
#include <optional>
#include <random>
#include <set>
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

// The error numbers a pipe's writer stands for when its reader went or stopped reading.
constexpr int kReaderGone = EPIPE;
constexpr int kReaderStalled = ETIMEDOUT;
constexpr int kWaitMilliseconds = 50;

[[noreturn]] void failStream(int error) {
    if (error == kReaderGone) {
        throw std::runtime_error("The program reading from the pipe closed it");
    }
    if (error == kReaderStalled) {
        throw std::runtime_error("The program reading from the pipe stopped reading");
    }
    fail(error);
}

constexpr int kLinkHops = 40;
// The most bytes a temporary name adds to the target's: a dot and six digits.
constexpr std::size_t kSuffixBytes = 7;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A link is followed, so that saving over it replaces the file it points to and keeps
// the link; a link to no file yet creates the file it names.
std::string resolvedTarget(const std::string& path) {
    std::string native = path;
    for (int hop = 0; hop < kLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(native.c_str(), link.data(), link.size());
        if (size <= 0) {
            break;
        }
        link.resize(static_cast<std::size_t>(size));
        native = link.front() == '/' ? link : folderOf(native) + link;
    }
    return native;
}

// The target's name shortened where needed so that a suffix still fits the folder's limit
// on the length of a name.
std::string temporaryStem(const std::string& target) {
    const std::string folder = folderOf(target);
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    const std::string name = target.substr(folder.size());
    return folder + name.substr(0, std::min(name.size(), nameMax - kSuffixBytes));
}

// The temporary files of saves still running, removed when the program ends during one.
std::mutex& unfinishedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<std::string>& unfinished() {
    static std::set<std::string> names;
    return names;
}

void noteUnfinished(const std::string& name, bool running) {
    const std::lock_guard lock(unfinishedMutex());
    if (running) {
        unfinished().insert(name);
    } else {
        unfinished().erase(name);
    }
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
int FileCalls::allocate(int fd, off_t size) { return ::posix_fallocate(fd, 0, size); }

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
    // A file the user may not write is not replaced either.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
        fail(errno);
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
    } else if (exists) {
        keepOwnerAndMode(st);
    }
    buffer_.reserve(kBufferBytes);
}

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::removeUnfinished() noexcept {
    const std::lock_guard lock(unfinishedMutex());
    for (const std::string& name : unfinished()) {
        ::unlink(name.c_str());
    }
    unfinished().clear();
}

// The replacement keeps the target's permissions and, where the user may give it away
// (root), its owner and group.
void TextFileWriter::keepOwnerAndMode(const struct stat& old) {
    const bool otherOwner = old.st_uid != ::geteuid() || old.st_gid != ::getegid();
    if ((otherOwner && ::fchown(fd_, old.st_uid, old.st_gid) != 0 && ::geteuid() == 0) ||
        ::fchmod(fd_, old.st_mode & 07777) != 0) {
        const int error = errno;
        discard();
        fail(error);
    }
}

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
    // The bytes held for a target written in place reach it only once the save goes ahead,
    // and only when the disk has room for all of them.
    if (cutToLength_ && !goAhead()) {
        error_ = ECANCELED;
    } else if (cutToLength_) {
        reserve();
    }
    flush();
    finish();
}

// The old bytes of a file written in place are overwritten only once the disk holds room
// for all the new ones, so a full disk leaves the file as it was.
void TextFileWriter::reserve() {
    struct stat st {};
    if (buffer_.empty() || ::fstat(fd_, &st) != 0) {
        return;
    }
    const int error = calls_.allocate(fd_, static_cast<off_t>(buffer_.size()));
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
        error_ = error;
        if (::ftruncate(fd_, st.st_size) != 0) {
            error_ = errno;
        }
    }
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
    const std::string stem = temporaryStem(target_);
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        const std::string name = stem + '.' + std::to_string(suffix(numbers));
        fd_ = calls_.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = name;
            noteUnfinished(name, true);
        } else if (errno != EEXIST) {
            return;
        }
    }
}

// A pipe is opened and written without blocking, so that neither a missing reader nor one
// that stops reading can hold the window: a write it cannot take yet waits a little at a
// time, asking between waits whether to go on.
void TextFileWriter::openInPlace(bool regular) {
    fd_ = calls_.open(target_.c_str(), O_WRONLY | O_CLOEXEC | (regular ? 0 : O_NONBLOCK), 0);
    if (fd_ < 0 && errno == ENXIO) {
        throw std::runtime_error("No program is reading from the pipe");
    }
    if (fd_ < 0) {
        fail(errno);
    }
    cutToLength_ = regular;
    stream_ = !regular;
}

void TextFileWriter::sendHeld() {
    if (stream_) {
        flush();
    }
}

// After the first failure nothing more is written; close() reports it.
void TextFileWriter::flush() {
    std::size_t done = 0;
    std::optional<std::chrono::steady_clock::time_point> waitingSince;
    while (error_ == 0 && done < buffer_.size()) {
        const ssize_t count = writeSome(buffer_.data() + done, buffer_.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
            waitingSince.reset();
        } else if (count == 0) {
            error_ = ENOSPC;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!waitingSince) {
                waitingSince = std::chrono::steady_clock::now();
            }
            waitUntilWritable(*waitingSince);
        } else if (errno != EINTR) {
            error_ = errno;
        }
    }
    written_ += static_cast<off_t>(done);
    buffer_.clear();
}

// A pipe whose reader has gone fails the write with EPIPE instead of ending the program:
// SIGPIPE is held back on this thread for the call, and the one it raised is taken away.
ssize_t TextFileWriter::writeSome(const char* data, std::size_t size) {
    if (!stream_) {
        return calls_.write(fd_, data, size);
    }
    sigset_t pipeSignal;
    sigset_t before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    const ssize_t count = calls_.write(fd_, data, size);
    const int error = errno;
    if (count < 0 && error == EPIPE) {
        const timespec none{};
        while (sigtimedwait(&pipeSignal, nullptr, &none) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return count;
}

// Waits a little for the pipe to take bytes again; a save given up, or a caller that says
// not to wait on, ends the waiting as a reader that stopped reading.
void TextFileWriter::waitUntilWritable(std::chrono::steady_clock::time_point since) {
    pollfd ready{fd_, POLLOUT, 0};
    if (::poll(&ready, 1, kWaitMilliseconds) > 0) {
        return;  // writable, or the reader has gone, which the next write tells
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - since);
    if (decision_.load() == Decision::Abandoned || (keepWaiting_ && !keepWaiting_(waited))) {
        error_ = kReaderStalled;
    }
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
        noteUnfinished(std::exchange(temporary_, {}), false);
        return;
    }
    discard();
    if (stream_) {
        failStream(error_);
    }
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
        noteUnfinished(std::exchange(temporary_, {}), false);
    }
}

}  // namespace culvex
