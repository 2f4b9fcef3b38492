#include "engine/TextFileWriter.h"

#include "TempFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <cerrno>
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
    FaultyCalls fullDisk("create write", ENOSPC);
    TextFileWriter inPlace(target, fullDisk);
    inPlace.write("newer\r\n");
    try {
        inPlace.close();
        ADD_FAILURE() << "a failed write in place was not reported";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No space left on device");
    }
    try {
        TextFileWriter absent(dir.path("new.txt"), calls);
        ADD_FAILURE() << "created beside a folder that refuses new files";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Permission denied");
    }
}

TEST(TextFileWriterDevice, ADeviceIsWrittenToAndNeverReplaced) {
    TextFileWriter writer("/dev/null");
    writer.write("discarded\r\n");
    writer.close();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace culvex
