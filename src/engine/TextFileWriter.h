#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace culvex {

// The system calls a TextFileWriter makes; tests replace them to make an open, a write, a
// sync, a close or the final rename fail.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    virtual int sync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    // Reserves room for `size` bytes from the start; returns 0 or an error number.
    virtual int allocate(int fd, off_t size);

    static FileCalls& system();
};

// Writes a file with the bytes given (already in the file's code page). The bytes go to a
// temporary file beside the target that replaces the target only when close() succeeds, so
// a save that fails half-way leaves the old file whole and no temporary file behind. When
// no file can be created in the target's folder but the target itself can be written, the
// bytes are held in memory and written into the target directly at close(), so a save
// given up before then leaves the target as it was; a failure then is still reported.
class TextFileWriter {
public:
    // Throws std::runtime_error with the system's description when the file cannot be
    // created (missing folder, a file the user may not write, a folder of that name, a
    // named pipe that nobody reads).
    explicit TextFileWriter(const std::string& path, FileCalls& calls = FileCalls::system());
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Writes the bytes as they are, line breaks included. Write failures (a full disk)
    // are remembered and reported by close().
    void write(std::string_view bytes);
    // Lets `format(buffer)` append bytes straight to the file's buffer, which saves a copy
    // per line for callers that build their lines piece by piece.
    template <class Format>
    void writeFormatted(Format&& format) {
        format(buffer_);
        flushWhenFull();
    }

    // Puts the complete file in place; throws std::runtime_error with the system's
    // description of the first failure when it cannot.
    void close();

    // Gives the save up from another thread while close() runs: a file not yet put in
    // place then never is, so a save reported as failed does not replace the target later.
    // Returns false when close() had already begun to put the file in place, which then
    // goes on; the two decisions exclude each other.
    bool abandon() noexcept;

    // Asked about every 50 ms, on the thread that writes, while a pipe or device takes no
    // more bytes for now, with how long it has taken none; false gives the save up, which
    // close() then reports as a reader that stopped reading. Without it the writer waits
    // as long as the reader does.
    void whileWaiting(std::function<bool(std::chrono::milliseconds)> keepWaiting) {
        keepWaiting_ = std::move(keepWaiting);
    }
    // Writes the bytes held so far to a pipe or device now, on this thread, so that close()
    // has none left to wait for; a file keeps them for close().
    void sendHeld();

    // Removes the temporary files of every save still running, for a program that ends
    // without unwinding (the window closed during a save).
    static void removeUnfinished() noexcept;

    // The temporary file the bytes go to until close() puts it in place; empty when the
    // target is written directly. A program ended by a signal removes it.
    const std::string& temporaryPath() const { return temporary_; }

private:
    void openTemporary();
    void openInPlace(bool regular);
    void keepOwnerAndMode(const struct stat& old);
    void reserve();
    void flush();
    ssize_t writeSome(const char* data, std::size_t size);
    void waitUntilWritable(std::chrono::steady_clock::time_point since);
    void flushWhenFull();
    void finish();
    void discard() noexcept;
    // Decides to put the file in place, unless the save was abandoned first.
    bool goAhead() noexcept;

    FileCalls& calls_;
    std::string target_;
    std::string temporary_;  // empty when writing into the target directly
    bool cutToLength_ = false;
    bool stream_ = false;  // a pipe or device, written without blocking
    int fd_ = -1;
    int error_ = 0;  // errno of the first failed call
    off_t written_ = 0;
    std::string buffer_;
    enum class Decision : std::uint8_t { Open, Abandoned, GoingAhead };
    std::atomic<Decision> decision_ = Decision::Open;
    std::function<bool(std::chrono::milliseconds)> keepWaiting_;
};

}  // namespace culvex
