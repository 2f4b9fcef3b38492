#include "CommandFakes.h"
#include "FakePlatform.h"
#include "ResultsTestSupport.h"
#include "ScriptedDialogs.h"
#include "engine/TextFileWriter.h"
#include "output/ResultsCommands.h"
#include "output/ResultsModel.h"
#include "output/SaveComma.h"
#include "output/SaveList.h"
#include "output/SaveTarget.h"
#include "output/YieldingRows.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace culvex {
namespace {

using testing::CommandFakes;
using testing::fileBytes;
using testing::ScriptedDialogs;
using testing::ScriptedYielder;
using testing::storeOf;
using testing::writeFileBytes;

struct FormatCase {
    const char* name;
    std::initializer_list<std::string> rows;
    std::string expected;
};

std::string savedBytes(SaveEnd (*writer)(const ResultsStore&, const QString&, Dialogs&, Yielder&,
                                         CommandProgress&),
                       const ResultsStore& rows) {
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.txt"_qs);
    ScriptedDialogs dialogs;
    ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    EXPECT_EQ(writer(rows, target, dialogs, yielder, progress), SaveEnd::Ended);
    EXPECT_TRUE(dialogs.requests.empty());
    return fileBytes(target);
}

// The bytes culvex-extract writes in `format` for the same rows, given to it as the
// columns of one line; nothing for rows it cannot produce (an empty row yields nothing).
std::optional<std::string> extractedBytes(const char* format,
                                          std::initializer_list<std::string> rows) {
    std::string line;
    for (const std::string& row : rows) {
        if (row.empty()) {
            return std::nullopt;
        }
        line += row + '\x01';
    }
    QTemporaryDir dir;
    const QString input = dir.filePath(u"in.txt"_qs);
    const QString target = dir.filePath(u"out.txt"_qs);
    writeFileBytes(input, line);
    const int status = QProcess::execute(QStringLiteral(CULVEX_EXTRACT),
                                         {u"--others"_qs, u"\x01"_qs, u"--format"_qs,
                                          QString::fromLatin1(format), u"-o"_qs, target, input});
    EXPECT_EQ(status, 0);
    return fileBytes(target);
}

// Three times the writer's buffer.
const std::string kLongRow(std::size_t{3} << 20, 'x');

TEST(SpacedTextFormat, PadsEveryLineToTheWidestTextThenTab) {
    const FormatCase cases[] = {
        {"empty list", {}, "Results\t\r\n"},
        {"one row", {"ab"}, "Results\t\r\nab     \t\r\n"},
        {"rows shorter than 7", {"a", "bcdef"}, "Results\t\r\na      \t\r\nbcdef  \t\r\n"},
        {"two and ten characters",
         {"ab", "0123456789"},
         "Results   \t\r\nab        \t\r\n0123456789\t\r\n"},
        {"long row sets the width",
         {"short", "row of twelve", "mid"},
         "Results      \t\r\nshort        \t\r\nrow of twelve\t\r\nmid          \t\r\n"},
        {"empty first, middle and last rows",
         {"", "xy", "", "z", ""},
         "Results\t\r\n       \t\r\nxy     \t\r\n       \t\r\nz      \t\r\n       \t\r\n"},
        {"tabs and commas count as one character",
         {"a\tb", "c,d,e,f"},
         "Results\t\r\na\tb    \t\r\nc,d,e,f\t\r\n"},
        {"code page bytes kept", {"\x80\xe9\xff"}, "Results\t\r\n\x80\xe9\xff    \t\r\n"},
        {"padding longer than the write buffer",
         {kLongRow, "y"},
         "Results" + std::string(kLongRow.size() - 7, ' ') + "\t\r\n" + kLongRow + "\t\r\ny" +
             std::string(kLongRow.size() - 1, ' ') + "\t\r\n"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(savedBytes(SaveListviewProperlySpaced, *storeOf(c.rows)), c.expected) << c.name;
        EXPECT_EQ(extractedBytes("spaced", c.rows).value_or(c.expected), c.expected) << c.name;
    }
}

TEST(CommaDelimitedFormat, CommaAfterEveryLineButTheLast) {
    const FormatCase cases[] = {
        {"empty list", {}, ""},
        {"one row", {"a"}, "a\r\n"},
        {"three rows", {"a1", "b2", "c3"}, "a1,\r\nb2,\r\nc3\r\n"},
        {"empty first row", {"", "b"}, ",\r\nb\r\n"},
        {"empty middle row", {"a", "", "b"}, "a,\r\n,\r\nb\r\n"},
        {"empty last row", {"a", ""}, "a,\r\n\r\n"},
        {"rows shorter and longer than 7", {"abcdefghij", "x"}, "abcdefghij,\r\nx\r\n"},
        {"commas and tabs unchanged", {"x,y", "t\tq"}, "x,y,\r\nt\tq\r\n"},
        {"code page bytes kept", {"\x80\xe9", "\xff"}, "\x80\xe9,\r\n\xff\r\n"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(savedBytes(SaveListviewAsCommaDelimToFile, *storeOf(c.rows)), c.expected)
            << c.name;
        EXPECT_EQ(extractedBytes("comma", c.rows).value_or(c.expected), c.expected) << c.name;
    }
}

// What differs between the two save commands, so the shared behaviour is tested once.
struct SaveCommand {
    const char* name;
    void (*click)(const ResultsStore&, const CommandContext&);
    QString commandLocation;
    QString writerLocation;
    int createLabel;
    int rowLabel;
    int closeLabel;
    std::string twoRows;  // the file for rows "a1", "b2"
    // The pointer states after answering No to the overwrite question.
    std::vector<PointerState> afterNo;

    friend void PrintTo(const SaveCommand& command, std::ostream* out) { *out << command.name; }
};

class SaveCommandTest : public ::testing::TestWithParam<SaveCommand>, protected CommandFakes {
protected:
    void SetUp() override {
        rows.append("a1");
        rows.append("b2");
        rows.publish();
        target = dir.filePath(u"results.txt"_qs);
    }
    void click() { GetParam().click(rows.store(), context()); }
    QString overwriteQuestion() const {
        return u"Are you sure you wish to overwrite "_qs + target + u" ?"_qs;
    }

    QTemporaryDir dir;
    QString target;
    ResultsModel rows;
};

TEST_P(SaveCommandTest, AsksForANameWritesTheFileAndEndsWithTheArrow) {
    dialogState.fileName = u"last-added.csv"_qs;
    dialogs.saveAnswers = {target};
    bool busyWhileWriting = false;
    yielder.onYield = [&](int) { busyWhileWriting = pointer.isBusy(); };
    click();

    ASSERT_EQ(dialogs.requests.size(), 1u);
    const auto& request = std::get<SaveFileRequest>(dialogs.requests[0]);
    EXPECT_EQ(request.title, u"Save"_qs);
    EXPECT_EQ(request.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_qs);
    EXPECT_EQ(request.fileName, u"last-added.csv"_qs);
    EXPECT_EQ(dialogState.fileName, target);
    EXPECT_EQ(fileBytes(target), GetParam().twoRows);
    EXPECT_TRUE(busyWhileWriting);
    EXPECT_EQ(pointer.history, (std::vector{PointerState::Busy, PointerState::Arrow}));
}

TEST_P(SaveCommandTest, CancelledDialogWritesNothingAndKeepsThePointer) {
    dialogState.fileName = u"kept.txt"_qs;
    click();
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(pointer.history.empty());
    EXPECT_EQ(dialogState.fileName, u"kept.txt"_qs);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_P(SaveCommandTest, ExistingFileIsReplacedWholeAfterYes) {
    writeFileBytes(target, std::string(1000, 'o'));
    dialogs.saveAnswers = {target};
    dialogs.messageAnswers = {MessageAnswer::Yes};
    click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest question = dialogs.messages()[0];
    EXPECT_EQ(question.text, overwriteQuestion());
    EXPECT_EQ(question.caption, u"Culvexa"_qs);
    EXPECT_EQ(question.icon, MessageIcon::None);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(fileBytes(target), GetParam().twoRows);
}

TEST_P(SaveCommandTest, ExistingFileIsKeptAfterNo) {
    writeFileBytes(target, "old");
    dialogs.saveAnswers = {target};
    dialogs.messageAnswers = {MessageAnswer::No};
    click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{overwriteQuestion()});
    EXPECT_EQ(fileBytes(target), "old");
    EXPECT_EQ(pointer.history, GetParam().afterNo);
}

TEST_P(SaveCommandTest, TargetInAMissingFolderIsReportedOnceAndNothingIsWritten) {
    const QString missing = dir.filePath(u"no-such-folder/results.txt"_qs);
    dialogs.saveAnswers = {missing};
    click();
    const auto messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(GetParam().writerLocation + u"at line "_qs +
                                          QString::number(GetParam().createLabel) + u"\r\r"_qs));
    EXPECT_EQ(messages[0].caption, u"Application Error"_qs);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(pointer.history, (std::vector{PointerState::Busy, PointerState::Arrow}));
}

TEST_P(SaveCommandTest, ResultsClearedDuringTheSaveKeepTheOldFile) {
    // The writers yield before their first row, then once per kRowsPerYield short rows.
    for (std::size_t i = 0; i < 3 * kRowsPerYield; ++i) {
        rows.append("more");
    }
    writeFileBytes(target, "old");
    dialogs.saveAnswers = {target};
    yielder.onYield = [&](int call) {
        if (call == 3) {
            clearResults(rows, dialogs);
        }
    };
    click();
    const QStringList texts = dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], overwriteQuestion());
    EXPECT_TRUE(texts[1].contains(GetParam().writerLocation + u"at line "_qs +
                                  QString::number(GetParam().rowLabel) + u"\r\r"_qs));
    EXPECT_EQ(fileBytes(target), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"results.txt"_qs});
    EXPECT_EQ(pointer.history.back(), PointerState::Arrow);
}

// A 64 KiB file system mounted for one test, where the machine allows it.
class SmallFileSystem {
public:
    SmallFileSystem() {
        const QByteArray path = QFile::encodeName(dir_.path());
        if (::geteuid() != 0) {
            failure_ = "mounting a file system needs root (as CI runs)";
        } else if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0) {
            failure_ = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
        }
    }
    ~SmallFileSystem() {
        if (failure_.empty()) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
    }
    const std::string& failure() const { return failure_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    std::string failure_;
};

TEST_P(SaveCommandTest, AFullDiskKeepsTheOldFileAndIsReportedWithTheSystemsWording) {
    const SmallFileSystem disk;
    if (!disk.failure().empty()) {
        GTEST_SKIP() << disk.failure();
    }
    target = disk.filePath(u"keep.txt"_qs);
    const std::string old(1000, 'o');
    writeFileBytes(target, old);
    for (int i = 0; i < 3048; ++i) {
        rows.append("a result row of some thirty bytes");
    }
    dialogs.saveAnswers = {target};
    dialogs.messageAnswers = {MessageAnswer::Yes};
    click();
    const QStringList texts = dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[1].contains(GetParam().writerLocation + u"at line "_qs +
                                  QString::number(GetParam().closeLabel) + u"\r\r"_qs));
    EXPECT_TRUE(texts[1].contains(u"No space left on device"_qs)) << texts[1].toStdString();
    EXPECT_EQ(fileBytes(target), old);
    EXPECT_EQ(QFileInfo(target).dir().entryList(QDir::Files | QDir::Hidden),
              QStringList{u"keep.txt"_qs});
}

// A stop at a yield of the save, the last one included, leaves an existing target as it
// was with nothing beside it, and says so.
TEST_P(SaveCommandTest, StopLeavesTheTargetAsItWasAndSaysNotSaved) {
    const std::string old = "old contents\r\n";
    writeFileBytes(target, old);
    for (const int stopAt : {1, 2}) {
        dialogs.requests.clear();
        dialogs.saveAnswers = {target};
        pointer.history.clear();
        progress.stop = false;
        yielder.calls = 0;
        yielder.onYield = [&](int call) { progress.stop = progress.stop || call == stopAt; };
        click();
        EXPECT_EQ(fileBytes(target), old) << stopAt;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"results.txt"_qs});
        EXPECT_EQ(dialogs.messageTexts(),
                  (QStringList{overwriteQuestion(), u"The results were not saved."_qs}));
        EXPECT_EQ(pointer.history, (std::vector{PointerState::Busy, PointerState::Arrow}));
    }
    EXPECT_EQ(progress.tasks, QStringList(2, u"Saving results"_qs));
    EXPECT_EQ(progress.ended, 2);
}

// A named pipe whose reader stops reading keeps the window yielding, and a stop ends the
// save there.
TEST_P(SaveCommandTest, APipeWhoseReaderStopsReadingLeavesTheWindowLive) {
    for (std::size_t i = 0; i < 3 * kRowsPerYield; ++i) {
        rows.append(std::string(40, 'r'));
    }
    rows.publish();
    const QByteArray pipe = QFile::encodeName(target);
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
    dialogs.saveAnswers = {target};
    dialogs.messageAnswers = {MessageAnswer::Yes};
    yielder.onYield = [&](int call) { progress.stop = progress.stop || call == 20; };
    click();
    ::close(reader);
    EXPECT_GE(yielder.calls, 20);
    EXPECT_EQ(dialogs.messageTexts(),
              (QStringList{overwriteQuestion(), u"The results were not saved."_qs}));
}

INSTANTIATE_TEST_SUITE_P(
    ResultsSaves, SaveCommandTest,
    ::testing::Values(SaveCommand{"spaced",
                                  saveSpacedText,
                                  u"in Culvexor2021/08/31.Form1.PushButton6_Click "_qs,
                                  u"in Culvexor2021/08/31.SaveList.SaveListviewProperlySpaced "_qs,
                                  156,
                                  120,
                                  232,
                                  "Results\t\r\na1     \t\r\nb2     \t\r\n",
                                  {}},
                      SaveCommand{
                          "comma",
                          saveCommaText,
                          u"in Culvexor2021/08/31.Form1.PushButton2_Click "_qs,
                          u"in Culvexor2021/08/31.SaveComma.SaveListviewAsCommaDelimToFile "_qs,
                          120,
                          150,
                          182,
                          "a1,\r\nb2\r\n",
                          {PointerState::Busy, PointerState::Arrow}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpacedTextSave, RowsClearedWhileWritingAreReportedAtTheWritingStep) {
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.txt"_qs);
    ResultsModel rows;
    for (int i = 0; i < 10; ++i) {
        rows.append("row");
    }
    ScriptedDialogs dialogs;
    ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    // Yields: the width (1: the first row, 2: the others), the header (3), the rows (4).
    yielder.onYield = [&](int call) {
        if (call == 4) {
            rows.clear();
        }
    };
    SaveListviewProperlySpaced(rows.store(), target, dialogs, yielder, progress);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messageTexts()[0].contains(u"at line 190\r\r"_qs));
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST(SpacedTextSave, RowsReplacedWhileWritingAreWrittenWithoutOverflowingThePadding) {
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.txt"_qs);
    ResultsModel rows;
    for (const char* row : {"a", "b", "c"}) {
        rows.append(row);
    }
    ScriptedDialogs dialogs;
    ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    yielder.onYield = [&](int call) {
        if (call == 4) {
            rows.clear();
            for (const char* row : {"a much longer row", "x", "y"}) {
                rows.append(row);
            }
        }
    };
    SaveListviewProperlySpaced(rows.store(), target, dialogs, yielder, progress);
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(fileBytes(target), "Results\t\r\na much longer row\t\r\nx      \t\r\ny      \t\r\n");
}

TEST(SpacedTextSave, RowsOfAMegabyteEachGetAYieldEach) {
    QTemporaryDir dir;
    ResultsModel rows;
    for (int i = 0; i < 4; ++i) {
        rows.append(std::string(kBytesPerYield, 'r'));
    }
    ScriptedDialogs dialogs;
    ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    EXPECT_EQ(SaveListviewProperlySpaced(rows.store(), dir.filePath(u"out.txt"_qs), dialogs,
                                         yielder, progress),
              SaveEnd::Ended);
    EXPECT_TRUE(dialogs.requests.empty());
    // Each row measured, the header, each row written.
    EXPECT_EQ(yielder.calls, 4 + 1 + 4);
}

// Holds the rename that puts the file in place until released.
class HeldRename final : public FileCalls {
public:
    int rename(const char* from, const char* to) override {
        std::unique_lock lock(mutex_);
        renaming_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
        return FileCalls::rename(from, to);
    }
    void releaseAfter(std::chrono::milliseconds delay) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return renaming_; });
        changed_.wait_for(lock, delay, [] { return false; });
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool renaming_ = false;
    bool released_ = false;
};

// A save whose time ran out after the file had begun to go into place is not reported as
// failed: it ends as putting the file in place does.
TEST(PutInPlace, ASaveThatWentAheadBeforeItsTimeRanOutEndsAsItsCloseDoes) {
    QTemporaryDir dir;
    const QString target = dir.filePath("out.txt");
    HeldRename calls;
    auto file = std::make_shared<TextFileWriter>(QFile::encodeName(target).toStdString(), calls);
    file->write("new\r\n");
    std::thread releaser([&] { calls.releaseAfter(std::chrono::seconds(3)); });
    EXPECT_NO_THROW(putInPlace(file, std::chrono::seconds(1)));
    releaser.join();
    EXPECT_EQ(fileBytes(target), "new\r\n");
}

}  // namespace
}  // namespace culvex
