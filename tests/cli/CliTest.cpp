#include "cli/CliRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace culvex::cli {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A run of the command line in a folder of its own: "IN" in the arguments stands for an
// input file holding `input`, "MISSING" for a file that does not exist.
class CliRun {
public:
    CliRun() {
        char name[] = "/tmp/culvex-cli-XXXXXX";
        dir_ = ::mkdtemp(name);
        stdoutPath = dir_ / "stdout";
    }
    ~CliRun() { fs::remove_all(dir_); }
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    fs::path path(const char* name) const { return dir_ / name; }

    int operator()(std::vector<std::string> args, const std::string& input,
                   FileCalls& calls = FileCalls::system()) {
        writeAll(path("in.csv"), input);
        for (std::string& arg : args) {
            arg = arg == "IN"        ? path("in.csv").string()
                  : arg == "MISSING" ? path("missing.csv").string()
                                     : arg;
        }
        const int in = ::open(path("in.csv").c_str(), O_RDONLY);
        const int out = ::open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::ostringstream errors;
        CliStreams streams{.input = in,
                           .output = out,
                           .errors = errors,
                           .settingsPath = path("Quillbrook.ini").string(),
                           .numbers = {},
                           .files = calls};
        const int status = runCli(args, streams);
        ::close(in);
        ::close(out);
        output = stdoutPath.parent_path() == dir_ ? readAll(stdoutPath) : std::string();
        this->errors = errors.str();
        const std::string dirText = dir_.string() + "/";
        for (auto at = this->errors.find(dirText); at != std::string::npos;
             at = this->errors.find(dirText)) {
            this->errors.erase(at, dirText.size());
        }
        return status;
    }

    std::string output;
    std::string errors;
    fs::path stdoutPath;  // what the run takes as standard output

private:
    fs::path dir_;
};

struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string output;
    std::string errors;
    int status;
};

template <std::size_t N>
void expectRuns(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        CliRun run;
        EXPECT_EQ(run(c.args, c.input), c.status) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(run.errors, c.errors) << c.name;
    }
}

constexpr const char* kCsv = "a, b ,c\nx,,y\nnone\n";

TEST(CommandLine, ExtractsByTheOptionsGiven) {
    const Case cases[] = {
        {"first-run choices: others ',' every column", {"IN"}, kCsv, "a\nb\nc\nx\ny\n", "", 0},
        {"space", {"--space", "IN"}, "p  q r\nnone\n", "p\nq\nr\n", "", 0},
        {"comma-space", {"--comma-space", "IN"}, "a,b, c\n", "a,b\nc\n", "", 0},
        {"comma", {"--comma", "IN"}, "a,b\n", "a\nb\n", "", 0},
        {"tab", {"--tab", "IN"}, "a\t b \n", "a\nb\n", "", 0},
        {"others, several characters", {"--others", "::", "IN"}, "a::b:c\n", "a\nb:c\n", "", 0},
        {"others given with =", {"--others=;", "IN"}, "a;b\n", "a\nb\n", "", 0},
        {"others empty: each line one column", {"--others", "", "IN"}, " a,b \n\n", "a,b\n", "", 0},
        {"start and end by number",
         {"--comma", "--start", "2", "--end", "3", "IN"},
         "a,,b,c\n",
         "b\n",
         "",
         0},
        {"start alone: to the last column",
         {"--start", "4", "IN"},
         "1,2,3,4,5,6\n",
         "4\n5\n6\n",
         "",
         0},
        {"end last",
         {"--start", "2", "--end", "last", "IN"},
         "1,2,3,4,5,6,7\n",
         "2\n3\n4\n5\n6\n7\n",
         "",
         0},
        {"start marker alone: to the last column",
         {"--start-marker", "c", "IN"},
         "a,b,c,d,e,f,g\n",
         "c\nd\ne\nf\ng\n",
         "",
         0},
        {"markers, letter case ignored",
         {"--start-marker", "B", "--end-marker", "X", "IN"},
         "a,bb,c,dx,e\n",
         "bb\nc\ndx\n",
         "",
         0},
        {"end marker not found: the start column alone",
         {"--start", "2", "--end-marker", "q", "IN"},
         "a,b,c\n",
         "b\n",
         "",
         0},
        {"standard input", {"--comma", "-"}, "s,t\n", "s\nt\n", "", 0},
        {"comma format", {"--format", "comma", "IN"}, "a,b\nc\n", "a,\r\nb\r\n", "", 0},
        {"comma format, no rows", {"--format", "comma", "IN"}, "none\n", "", "", 0},
        {"spaced format",
         {"--format", "spaced", "IN"},
         "a,bcdefghi\n",
         "Results \t\r\na       \t\r\nbcdefghi\t\r\n",
         "",
         0},
        {"the files in order, into one output", {"IN", "IN"}, "a,b\n", "a\nb\na\nb\n", "", 0},
        {"records: empty columns kept, lines without the separator left out",
         {"--format", "records", "IN"},
         "a, b ,c\n,,\nnone\nx, ,y\n",
         "a\tb\tc\n\t\t\nx\t\ty\n",
         "",
         0},
        {"records: a last line without a break ends its record",
         {"--format", "records", "IN", "IN"},
         "a,b\r\nc,d",
         "a\tb\nc\td\na\tb\nc\td\n",
         "",
         0},
        {"records of a range, joined, a separator in a value left as it is",
         {"--format", "records", "--start", "2", "--end", "3", "--join", ",", "--others", ";",
          "IN"},
         "a;b,c;d;e\n",
         "b,c,d\n",
         "",
         0},
        {"records by markers",
         {"--format", "records", "--start-marker", "b", "--end-marker", "d", "IN"},
         "a,b,,d,e\n",
         "b\t\td\n",
         "",
         0},
        {"escapes in every text, no white space needed",
         {"--escapes", "--others=\\s|\\s", "--format=records", "--join=\\x3b\\t\\\\", "IN"},
         "a | b|c | d\n",
         "a;\t\\b|c;\t\\d\n",
         "",
         0},
        {"a backslash is literal without --escapes",
         {"--others", "\\s", "IN"},
         "a\\sb\n",
         "a\nb\n",
         "",
         0},
        {"a device read as a stream", {"/dev/null", "IN"}, "a,b\n", "a\nb\n", "", 0},
        {"quoted fields",
         {"--quoted", "IN"},
         "3,\"Smith, John\",Oslo\n",
         "3\nSmith, John\nOslo\n",
         "",
         0},
        {"quoted fields off: quotes are text",
         {"IN"},
         "3,\"Smith, John\"\n",
         "3\n\"Smith\nJohn\"\n",
         "",
         0},
        {"records of quoted fields, quoted where they need it",
         {"--quoted", "--format", "records", "IN"},
         "a,\"b\tc\",\"x\"\"y\",\"l\r\nm\",\n\"\",q\n",
         "a\t\"b\tc\"\t\"x\"\"y\"\t\"l\r\nm\"\t\n\tq\n",
         "",
         0},
        {"an unclosed quote: read as text and reported, the run still done",
         {"--quoted", "IN"},
         "a,\"b,c\nd,e\n",
         "a\n\"b\nc\nd\ne\n",
         "culvex-extract: in.csv: 1 line(s) with a quote not closed within 1 MiB, read from that "
         "quote on as unquoted text\n",
         0},
    };
    expectRuns(cases);
}

// A file large enough to be cut by several threads, whose workers write the lines
// themselves: short rows, rows longer than a fixed-size move, and empty columns.
TEST(CommandLine, ALargeFileGivesEveryLineInOrder) {
    std::string input;
    std::string output;
    for (int i = 0; input.size() < (std::size_t{9} << 20); ++i) {
        const std::string row = std::to_string(i) + std::string(i % 50, 'L');
        input += " a ," + row + ",,b\r\n";
        output += "a\n" + row + "\nb\n";
    }
    CliRun run;
    EXPECT_EQ(run({"--comma", "IN"}, input), 0);
    EXPECT_TRUE(run.output == output);
}

TEST(CommandLine, RefusesWhatTheWindowRefusesAndUsageErrors) {
    const std::string tryHelp = "\nTry 'culvex-extract --help'.\n";
    const Case cases[] = {
        {"no start number",
         {"--start", "", "IN"},
         kCsv,
         "",
         "culvex-extract: You forgot to input the start position.\n",
         2},
        {"no end number",
         {"--start", "1", "--end", "", "IN"},
         kCsv,
         "",
         "culvex-extract: You forgot to input the end position.\n",
         2},
        {"end before start",
         {"--start", "5", "--end", "3", "IN"},
         kCsv,
         "",
         "culvex-extract: End position must be greater than start position.\n",
         2},
        {"start not a number",
         {"--start", "x", "--end", "3", "IN"},
         kCsv,
         "",
         "culvex-extract: Type mismatch: \"x\" is not a number\n"
         "culvex-extract: End position must be greater than start position.\n",
         2},
        {"equal start and end pass", {"--start", "2.4", "--end", "2", "IN"}, kCsv, "b\n", "", 0},
        {"no start marker",
         {"--start-marker", "", "IN"},
         kCsv,
         "",
         "culvex-extract: You forgot to input the start character.\n",
         2},
        {"no end marker",
         {"--end-marker", "", "IN"},
         kCsv,
         "",
         "culvex-extract: You forgot to input the end character.\n",
         2},
        {"unknown option",
         {"--bogus", "IN"},
         kCsv,
         "",
         "culvex-extract: unknown option --bogus" + tryHelp,
         2},
        {"missing value",
         {"IN", "--start"},
         kCsv,
         "",
         "culvex-extract: option --start needs a value" + tryHelp,
         2},
        {"unknown format",
         {"--format", "xml", "IN"},
         kCsv,
         "",
         "culvex-extract: unknown format 'xml' (lines, spaced, comma or records)" + tryHelp,
         2},
        {"unknown escape",
         {"--escapes", "--others", "\\q", "IN"},
         kCsv,
         "",
         "culvex-extract: unknown escape in '\\q' (\\\\, \\t, \\s or \\xHH)" + tryHelp,
         2},
        {"escape cut short",
         {"--escapes", "--join", "\\x4", "IN"},
         kCsv,
         "",
         "culvex-extract: unknown escape in '\\x4' (\\\\, \\t, \\s or \\xHH)" + tryHelp,
         2},
        {"no file", {"--comma"}, kCsv, "", "culvex-extract: no FILE given" + tryHelp, 2},
        {"missing file: the others go on",
         {"MISSING", "IN"},
         "a,b\n",
         "a\nb\n",
         "culvex-extract: Cannot open missing.csv: No such file or directory\n",
         1},
        {"a folder", {"/", "IN"}, "a\n", "", "culvex-extract: Cannot open /: Is a directory\n", 1},
        {"a line beyond the column index",
         {"--comma", "IN"},
         std::string(32768, ',') + "\nq,r\n",
         "q\nr\n",
         "culvex-extract: in.csv: 1 line(s) beyond 32767 columns or with a position out of range "
         "yielded no rows\n",
         1},
        {"to the last column: a line beyond the column index is reported, not cut",
         {"--start", "2", "--end", "last", "IN"},
         std::string(32768, ',') + "\nq,r\n",
         "r\n",
         "culvex-extract: in.csv: 1 line(s) beyond 32767 columns or with a position out of range "
         "yielded no rows\n",
         1},
        {"lines counted once whatever overflowed",
         {"--start-marker", "x", "--end-marker", "x", "IN"},
         std::string(32768, ',') + "\n" + std::string(32768, ',') + "\n",
         "",
         "culvex-extract: in.csv: 2 line(s) beyond 32767 columns or with a position out of range "
         "yielded no rows\n",
         1},
    };
    expectRuns(cases);
}

TEST(CommandLine, UseSettingsStartsFromTheWindowsStoredChoices) {
    struct SettingsCase {
        const char* name;
        std::string ini;
        std::vector<std::string> args;
        std::string output;
        int status;
        std::string input = "a,b;c,d@e\n";
    };
    const std::string comma2to3 =
        "[Culvex]\nOption7=False\nOption8=False\nOption9=True\nOption10=False\nOption11=False\n"
        "Check1=1\nText1=2\nText3=3\n";
    const SettingsCase cases[] = {
        {"stored quoted fields",
         "[Culvex]\nQuotedFields=1\n",
         {"--use-settings", "IN"},
         "a\nb;c\nd@e\n\"f\ng\"\n",
         0,
         "a,b;c,d@e,\"\"\"f\ng\"\"\"\n"},
        {"no settings file: first-run choices", "", {"--use-settings", "IN"}, "a\nb;c\nd@e\n", 0},
        {"stored comma and range", comma2to3, {"--use-settings", "IN"}, "b;c\nd@e\n", 0},
        {"options override the stored ones",
         comma2to3,
         {"--use-settings", "--others", ";", "--start", "1", "IN"},
         "a,b\nc,d@e\n",
         0},
        {"a start alone keeps the stored end",
         "[Culvex]\nOption9=True\nOption11=False\nCheck1=1\nText3=1\n",
         {"--use-settings", "--start", "1", "IN"},
         "a\n",
         0},
        {"quoted separator text",
         "[Culvex]\nText5=\";\"\n",
         {"--use-settings", "IN"},
         "a,b\nc,d@e\n",
         0},
        {"other groups ignored",
         "[Other]\nText5=;\n[Culvex]\nOption11=1\n",
         {"--use-settings", "IN"},
         "a\nb;c\nd@e\n",
         0},
        {"a leading @ stored doubled",
         "[Culvex]\nText5=@@\n",
         {"--use-settings", "IN"},
         "a,b;c,d\ne\n",
         0},
        {"a stored option that is no boolean",
         "[Culvex]\nOption9=maybe\n",
         {"--use-settings", "IN"},
         "",
         2},
    };
    for (const SettingsCase& c : cases) {
        CliRun run;
        if (!c.ini.empty()) {
            writeAll(run.path("Quillbrook.ini"), c.ini);
        }
        EXPECT_EQ(run(c.args, c.input), c.status) << c.name << run.errors;
        EXPECT_EQ(run.output, c.output) << c.name;
    }
}

// Writes go through a disk that fills up after the first piece.
class FullDisk final : public FileCalls {
public:
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (written_ > 0) {
            errno = ENOSPC;
            return -1;
        }
        written_ += size;
        return FileCalls::write(fd, data, size);
    }

private:
    std::size_t written_ = 0;
};

TEST(CommandLine, OutputFileReplacesTheOldOneOnlyWhenComplete) {
    CliRun run;
    const fs::path target = run.path("out.txt");
    writeAll(target, "old");
    EXPECT_EQ(run({"--format", "comma", "-o", target.string(), "IN"}, "a,b\n"), 0);
    EXPECT_EQ(readAll(target), "a,\r\nb\r\n");

    writeAll(target, "old");
    std::string many;
    for (int i = 0; i < 300000; ++i) {
        many += "row,row\n";
    }
    FullDisk disk;
    EXPECT_EQ(run({"-o", target.string(), "IN"}, many, disk), 1);
    EXPECT_EQ(run.errors, "culvex-extract: Cannot write out.txt: No space left on device\n");
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), {}), 3)
        << "in.csv, stdout and out.txt only";

    run.stdoutPath = "/dev/full";
    EXPECT_EQ(run({"IN", "IN"}, many), 1);
    EXPECT_EQ(run.errors, "culvex-extract: Cannot write standard output: No space left on device\n")
        << "reported once, and the second file is not read";

    writeAll(target, "old");
    EXPECT_EQ(run({"-o", target.string(), "IN", "MISSING"}, "a,b\n"), 1);
    EXPECT_EQ(run.errors,
              "culvex-extract: Cannot open missing.csv: No such file or directory\n"
              "culvex-extract: out.txt left as it was\n");
    EXPECT_EQ(readAll(target), "old") << "an input failed";
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), {}), 3);

    EXPECT_EQ(run({"-o", run.path("no/such/folder").string(), "IN"}, "a\n"), 1);
    EXPECT_EQ(run.errors,
              "culvex-extract: Cannot write no/such/folder: No such file or directory\n");
}

}  // namespace
}  // namespace culvex::cli
