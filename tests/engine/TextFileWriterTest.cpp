#include "engine/TextFileWriter.h"

#include "TempFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <semaphore>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace culvex {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

// The names of the files in a folder, hidden ones too.
std::vector<std::string> fileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class TextFileWriterTest : public ::testing::Test {
protected:
    testing::TempFolder dir;
    const std::string target = dir.write("out.txt", "old contents");
    const std::vector<std::string> onlyTarget{"out.txt"};
};

TEST_F(TextFileWriterTest, ReplacesTheFileWithTheBytesWrittenOnClose) {
    TextFileWriter writer(target);
    writer.write("a\tb\r\n");
    writer.write("\r\n");
    writer.write(std::string_view("\x80\0\xff\r\n", 5));
    EXPECT_EQ(contents(target), "old contents");
    writer.close();
    EXPECT_EQ(contents(target), std::string("a\tb\r\n\r\n\x80\0\xff\r\n", 12));
}

TEST_F(TextFileWriterTest, TargetsThatCannotBeCreatedThrowThePlatformsWording) {
    const struct {
        std::string path;
        const char* description;
    } cases[] = {
        {dir.path("missing/out.txt"), "No such file or directory"},
        {dir.root(), "Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            TextFileWriter writer(c.path);
            ADD_FAILURE() << c.path;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.description);
        }
    }
}

// Makes the kinds of system call named in `failing` fail with the given error, a new file
// with "Permission denied" as a folder the user cannot write does; a failing write may
// first write half of what it was given.
class FaultyCalls : public FileCalls {
public:
    FaultyCalls(std::string failing, int error, bool shortWriteFirst = false)
        : failing_(std::move(failing)), error_(error), shortWriteFirst_(shortWriteFirst) {}

    int open(const char* path, int flags, mode_t mode) override {
        return fails("create") && (flags & O_CREAT) != 0 ? refuse(EACCES)
                                                         : FileCalls::open(path, flags, mode);
    }
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (!fails("write")) {
            return FileCalls::write(fd, data, size);
        }
        return shortWriteFirst_ && writes_++ == 0 ? FileCalls::write(fd, data, size / 2) : refuse();
    }
    int sync(int fd) override { return fails("sync") ? refuse() : FileCalls::sync(fd); }
    int close(int fd) override {
        const int result = FileCalls::close(fd);
        return fails("close") ? refuse() : result;
    }
    int rename(const char* from, const char* to) override {
        return fails("rename") ? refuse() : FileCalls::rename(from, to);
    }
    int allocate(int fd, off_t size) override {
        return fails("allocate") ? error_ : FileCalls::allocate(fd, size);
    }

private:
    bool fails(const char* kind) const { return failing_.find(kind) != std::string::npos; }
    int refuse(int error) {
        errno = error;
        return -1;
    }
    int refuse() { return refuse(error_); }

    std::string failing_;
    int error_;
    bool shortWriteFirst_;
    int writes_ = 0;
};

TEST_F(TextFileWriterTest, AFailedSaveKeepsTheOldFileAndReportsTheSystemsWording) {
    const struct {
        const char* failing;
        int error;
        bool shortWriteFirst;
        int lines;  // enough lines to fill the buffer make the writes fail before close
        const char* description;
    } cases[] = {
        {"write", ENOSPC, true, 3, "No space left on device"},
        {"write", ENOSPC, true, 100000, "No space left on device"},
        {"write", EIO, false, 100000, "Input/output error"},
        {"sync", ENOSPC, false, 3, "No space left on device"},
        {"close", EDQUOT, false, 3, "Disk quota exceeded"},
        {"rename", EXDEV, false, 3, "Invalid cross-device link"},
        // Given up from the window while the disk was still busy.
        {"abandon", 0, false, 3, "Operation canceled"},
    };
    for (const auto& c : cases) {
        FaultyCalls calls(c.failing, c.error, c.shortWriteFirst);
        TextFileWriter writer(target, calls);
        for (int i = 0; i < c.lines; ++i) {
            writer.write("a line long enough to fill the buffer several times\r\n");
        }
        if (std::string_view(c.failing) == "abandon") {
            writer.abandon();
        }
        try {
            writer.close();
            ADD_FAILURE() << c.failing;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.description) << c.failing;
        }
        EXPECT_EQ(contents(target), "old contents") << c.failing;
        EXPECT_EQ(fileNames(dir.root()), onlyTarget) << c.failing;
    }
}

// Beside the target, and in place when the folder refuses new files.
TEST_F(TextFileWriterTest, ASaveAbandonedBeforeCloseLeavesTheOldFileAndNoLeftovers) {
    for (const char* refused : {"", "create"}) {
        FaultyCalls calls(refused, 0);
        {
            TextFileWriter writer(target, calls);
            for (int i = 0; i < 100000; ++i) {
                writer.write("a line long enough to fill the buffer several times\r\n");
            }
        }
        EXPECT_EQ(contents(target), "old contents") << refused;
        EXPECT_EQ(fileNames(dir.root()), onlyTarget);
    }
}

// Given up while the disk is still busy with the sync (as when the window's time limit
// passes): the save goes no further, and an abandon after the decision to go ahead says so.
TEST_F(TextFileWriterTest, AnAbandonDuringABlockedSyncLeavesTheTargetUntouched) {
    class BlockedSync final : public FileCalls {
    public:
        int sync(int fd) override {
            entered.release();
            leave.acquire();
            return FileCalls::sync(fd);
        }
        std::binary_semaphore entered{0};
        std::binary_semaphore leave{0};
    };
    for (const bool abandonFirst : {true, false}) {
        BlockedSync calls;
        TextFileWriter writer(target, calls);
        writer.write("new\r\n");
        std::string outcome = "replaced";
        std::thread closing([&] {
            try {
                writer.close();
            } catch (const std::runtime_error& e) {
                outcome = e.what();
            }
        });
        calls.entered.acquire();
        if (abandonFirst) {
            EXPECT_TRUE(writer.abandon());
        }
        calls.leave.release();
        closing.join();
        EXPECT_EQ(outcome, abandonFirst ? "Operation canceled" : "replaced");
        EXPECT_EQ(contents(target), abandonFirst ? "old contents" : "new\r\n");
        EXPECT_EQ(fileNames(dir.root()), onlyTarget);
        EXPECT_EQ(writer.abandon(), abandonFirst);
        dir.write("out.txt", "old contents");
    }
}

TEST_F(TextFileWriterTest, AFolderThatRefusesNewFilesIsWrittenInPlace) {
    FaultyCalls calls("create", 0);
    TextFileWriter writer(target, calls);
    writer.write("new\r\n");
    writer.close();
    EXPECT_EQ(contents(target), "new\r\n");
    EXPECT_EQ(fileNames(dir.root()), onlyTarget);
    // A disk without room for the new bytes leaves the old ones.
    FaultyCalls fullDisk("create allocate", ENOSPC);
    TextFileWriter inPlace(target, fullDisk);
    inPlace.write("newer and longer\r\n");
    try {
        inPlace.close();
        ADD_FAILURE() << "a failed write in place was not reported";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No space left on device");
    }
    EXPECT_EQ(contents(target), "new\r\n");
    try {
        TextFileWriter absent(dir.path("new.txt"), calls);
        ADD_FAILURE() << "created beside a folder that refuses new files";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Permission denied");
    }
}

// Names up to the file system's limit, and links: a link keeps pointing at the file saved,
// created where it was missing.
TEST_F(TextFileWriterTest, LongNamesAndLinksAreSavedWhereTheyPoint) {
    fs::create_symlink("out.txt", dir.path("link"));
    fs::create_symlink("made.txt", dir.path("dangling"));
    const struct {
        std::string saved;
        std::string written;
    } cases[] = {
        {std::string(249, 'n'), std::string(249, 'n')},
        {std::string(255, 'n'), std::string(255, 'n')},
        {"link", "out.txt"},
        {"dangling", "made.txt"},
    };
    for (const auto& c : cases) {
        TextFileWriter writer(dir.path(c.saved));
        writer.write(c.saved);
        writer.close();
        EXPECT_EQ(contents(dir.path(c.written)), c.saved) << c.written;
    }
    EXPECT_TRUE(fs::is_symlink(dir.path("link")));
    EXPECT_TRUE(fs::is_symlink(dir.path("dangling")));
}

TEST_F(TextFileWriterTest, RemovingUnfinishedSavesLeavesOnlyTheTarget) {
    TextFileWriter writer(target);
    writer.write("half\r\n");
    TextFileWriter::removeUnfinished();
    EXPECT_EQ(fileNames(dir.root()), onlyTarget);
}

// Runs `save` in a child process as the user nobody when this test runs as root, so that
// the file system's permissions apply; it exits with 0 when the save behaved.
template <class Save>
void expectAsOrdinaryUser(const std::string& folder, Save save) {
    if (::geteuid() == 0) {
        fs::permissions(folder, fs::perms::all);
    }
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
                std::_Exit(2);
            }
            std::_Exit(save() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

bool refusedWith(const std::string& path, const std::string& bytes, const char* description) {
    try {
        TextFileWriter writer(path);
        writer.write(bytes);
        writer.close();
    } catch (const std::runtime_error& e) {
        return std::string_view(e.what()) == description;
    }
    return false;
}

TEST_F(TextFileWriterTest, AFileTheUserMayNotWriteIsLeftAlone) {
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
    }
    expectAsOrdinaryUser(dir.root(), [&] {
        return refusedWith(target, "new\r\n", "Permission denied") &&
               contents(target) == "old contents";
    });
}

// A real full disk under a folder that refuses new files: only root can make one.
TEST(TextFileWriterFullDisk, AFullDiskInAReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    testing::TempFolder dir;
    if (::mount("tmpfs", dir.root().c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no small file system could be mounted here";
    }
    const std::string old = dir.write("old.txt", "old contents");
    ASSERT_EQ(::chown(old.c_str(), kNobody, kNobody), 0);
    dir.write("filler", std::string(60 * 1024, 'f'));
    fs::permissions(dir.root(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    EXPECT_EXIT(
        {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                std::_Exit(2);
            }
            const bool sound =
                refusedWith(old, std::string(256 * 1024, 'n'), "No space left on device") &&
                contents(old) == "old contents";
            std::_Exit(sound ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::umount(dir.root().c_str());
}

TEST_F(TextFileWriterTest, RootSavingAnotherUsersFileKeepsItsOwner) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can save another user's file";
    }
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
    TextFileWriter writer(target);
    writer.write("new\r\n");
    writer.close();
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
}

TEST(TextFileWriterDevice, ADeviceIsWrittenToAndNeverReplaced) {
    TextFileWriter writer("/dev/null");
    writer.write("discarded\r\n");
    writer.close();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A named pipe never holds the writer: one nobody reads is reported at once, one whose
// reader went away or stopped reading is reported at close(), without ending the program.
TEST_F(TextFileWriterTest, APipeWhoseReaderIsMissingOrGoneIsReported) {
    enum class Reader { None, Leaves, StopsReading };
    const struct {
        Reader reader;
        const char* description;
    } cases[] = {
        {Reader::None, "No program is reading from the pipe"},
        {Reader::Leaves, "The program reading from the pipe closed it"},
        {Reader::StopsReading, "The program reading from the pipe stopped reading"},
    };
    const std::string pipe = dir.path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const auto& c : cases) {
        const int reader =
            c.reader == Reader::None ? -1 : ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        std::string reported;
        int asked = 0;
        try {
            TextFileWriter writer(pipe);
            writer.whileWaiting([&](std::chrono::milliseconds) { return ++asked < 2; });
            if (c.reader == Reader::Leaves) {
                ::close(reader);
            }
            writer.write(std::string(std::size_t{3} << 20, 'x'));
            writer.close();
        } catch (const std::runtime_error& e) {
            reported = e.what();
        }
        if (c.reader == Reader::StopsReading) {
            ::close(reader);
            EXPECT_EQ(asked, 2);
        }
        EXPECT_EQ(reported, c.description) << static_cast<int>(c.reader);
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
}

}  // namespace
}  // namespace culvex
