#include "engine/FileReader.h"

#include "HookedFile.h"
#include "ReadLines.h"
#include "TempFolder.h"
#include "engine/InputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace culvex {
namespace {

namespace fs = std::filesystem;

using testing::HookedFile;
using testing::readLines;
using testing::TempFolder;

// The lines of a file, read the way an extraction reads it.
std::vector<std::string> ReadTextFileLines(const std::string& path) {
    InputFile file(path);
    return readLines(file);
}

TEST(ReadTextFileLines, SplitsAtLineFeedsAndCarriageReturnLineFeeds) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"empty file", "", {""}},
        {"only CR LF", "\r\n", {""}},
        {"only LF", "\n", {""}},
        {"two lines with final break", "ab\r\ncd\r\n", {"ab", "cd"}},
        {"two lines without final break", "ab\r\ncd", {"ab", "cd"}},
        {"LF breaks", "ab\ncd\n", {"ab", "cd"}},
        {"empty lines inside", "a\n\n\r\nb", {"a", "", "", "b"}},
        {"two breaks at the end", "a\n\n", {"a", ""}},
        {"lone CR stays in its line", "a\rb\r\nc\r", {"a\rb", "c\r"}},
        {"CR CR LF keeps one CR", "a\r\r\n", {"a\r"}},
        {"BOM stays as three bytes", "\xEF\xBB\xBFx,y\r\n", {"\xEF\xBB\xBFx,y"}},
        {"NUL bytes are characters",
         std::string("a\0b\n\0", 5),
         {std::string("a\0b", 3), std::string(1, '\0')}},
        {"high bytes pass unchanged", "\xE9\xFF\x80\n", {"\xE9\xFF\x80"}},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        EXPECT_EQ(ReadTextFileLines(folder.write("f.txt", c.bytes)), c.lines) << c.name;
        // Every block edge: lines cut anywhere, CR LF split, lines longer than the buffer.
        for (std::size_t blockBytes = 1; blockBytes <= c.bytes.size() + 1; ++blockBytes) {
            MemorySource source(c.bytes);
            EXPECT_EQ(readLines(source, blockBytes), c.lines) << c.name << ", block " << blockBytes;
        }
    }
}

TEST(ReadTextFileLines, ReadsAFileOfReportedSizeZeroToItsEnd) {
    ASSERT_EQ(fs::file_size("/proc/self/status"), 0u);
    const std::vector<std::string> lines = ReadTextFileLines("/proc/self/status");
    ASSERT_GT(lines.size(), 1u);
    EXPECT_EQ(lines.front().rfind("Name:", 0), 0u);
}

TEST(ReadLines, AFileCutShorterBetweenBlocksEndsWhereItsReadsEnd) {
    // Blocks of 6 bytes: the first read takes "aaa\nbb", so "bb" is carried over.
    const struct {
        std::uintmax_t cutTo;
        std::vector<std::string> lines;
    } cases[] = {
        {0, {"aaa", "bb"}},
        {6, {"aaa", "bb"}},
        {10, {"aaa", "bbb", "cc"}},
        {16, {"aaa", "bbb", "ccc", "ddd"}},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        const std::string path = folder.write("f.txt", "aaa\nbbb\nccc\nddd\n");
        HookedFile file(path, [&](int read) {
            if (read == 2) {
                fs::resize_file(path, c.cutTo);
            }
        });
        EXPECT_EQ(readLines(file, 6), c.lines) << "cut to " << c.cutTo;
    }
}

TEST(ReadTextFileLines, FailsWithTheSystemWordingAndThePath) {
    TempFolder folder;
    const std::string missing = folder.path("missing.csv");
    const std::string directory = folder.path("sub");
    fs::create_directory(directory);
    const struct {
        std::string path;
        std::string what;
    } cases[] = {
        {missing, "Cannot open " + missing + ": No such file or directory"},
        {directory, "Cannot open " + directory + ": Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            ReadTextFileLines(c.path);
            ADD_FAILURE() << c.path;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), c.what);
        }
    }
}

TEST(TextLines, WalksTheSameLinesAsTheList) {
    // Breaks are found 64 bytes at a time: lines and CR LF pairs across those steps too.
    const std::string a63(63, 'a');
    const std::string b100(100, 'b');
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"x\r\ny\n\nz", {"x", "y", "", "z"}},
        {"", {""}},
        {"\n", {""}},
        {a63 + "\r\n" + b100 + "\n\r\n" + a63, {a63, b100, "", a63}},
        {b100 + "\r" + b100 + "\n", {b100 + "\r" + b100}},
    };
    for (const auto& c : cases) {
        TextLines lines(c.bytes);
        std::vector<std::string> seen;
        std::string_view line;
        while (lines.next(line)) {
            seen.emplace_back(line);
        }
        EXPECT_EQ(seen, c.lines) << c.bytes;
        EXPECT_FALSE(lines.next(line));
        EXPECT_EQ(lines.remaining(), 0u);
    }
}

}  // namespace
}  // namespace culvex
