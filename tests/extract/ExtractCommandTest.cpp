#include "extract/ExtractCommand.h"

#include "CommandFakes.h"
#include "FakePlatform.h"
#include "RecordingSink.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <set>
#include <stdexcept>

namespace culvex {
namespace {

using testing::CommandFakes;
using testing::ScriptedDialogs;

class FakeFiles final : public FileEntries {
public:
    QStringList paths;
    int count() const override { return static_cast<int>(paths.size()); }
    QString text(int position) const override {
        if (position < 1 || position > paths.size()) {
            throw std::out_of_range("Index out of bounds");
        }
        return paths[position - 1];
    }
};

class FakeControls final : public ExtractionControls {
public:
    int check1 = 0;
    std::set<int> selected{1, 3, 9};
    QString texts[6] = {{}, "1", "a", "5", "a", ","};
    // The panel's options and texts by their numbers, as the window maps them.
    ExtractionSettings extractionSettings() const override {
        ExtractionSettings panel{check1 == 1,   isSelected(1), isSelected(2), isSelected(3),
                                 isSelected(4), texts[1],      texts[2],      texts[3],
                                 texts[4],      separator(),   texts[5]};
        return panel;
    }

private:
    bool isSelected(int option) const { return selected.count(option) != 0; }
    SeparatorChoice separator() const {
        const SeparatorChoice choices[] = {SeparatorChoice::Space, SeparatorChoice::CommaSpace,
                                           SeparatorChoice::Comma, SeparatorChoice::Tab,
                                           SeparatorChoice::Typed};
        for (int option = 7; option <= 11; ++option) {
            if (isSelected(option)) {
                return choices[option - 7];
            }
        }
        return SeparatorChoice::None;
    }
};

using testing::RecordingSink;

// The rows as the results list's texts.
QStringList rowTexts(const RecordingSink& sink) {
    QStringList texts;
    for (const std::string& row : sink.rows) {
        texts << QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size()));
    }
    return texts;
}

QString report(const QString& description, int label) {
    return description + "\r\nin Culvexor2021/08/31.Form1.PushButton7_Click at line " +
           QString::number(label) + "\r\rPlease email screenshot of this message to " +
           "support@quillbrook.example";
}

class ExtractCommandTest : public ::testing::Test, protected CommandFakes {
protected:
    ExtractCommand command{context()};
    FakeFiles files;
    FakeControls controls;
    RecordingSink results;
    QTemporaryDir folder;

    QString addFile(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        files.paths << path;
        return path;
    }
    void run() { command.run(files, controls, results); }
};

TEST_F(ExtractCommandTest, ExtractsEveryColumnOfEveryFileAndSaysDone) {
    addFile("one.csv", "a, b ,c\r\nno separator\r\n\r\n");
    addFile("two.csv", "d,,e");
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(results.publishedRows, 5);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"Done."});
    const MessageRequest done = dialogs.messages().front();
    EXPECT_EQ(done.caption, "Culvexa");
    EXPECT_EQ(done.icon, MessageIcon::None);
    EXPECT_EQ(done.buttons, MessageButtons::Ok);
    EXPECT_EQ(pointer.history, (std::vector<PointerState>{PointerState::Busy, PointerState::Busy,
                                                          PointerState::Default}));
    EXPECT_EQ(yielder.calls, 2);
    EXPECT_FALSE(command.isBusy());
}

TEST_F(ExtractCommandTest, NoFilesShowsItsMessageAndLeavesThePointer) {
    run();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"No files added."});
    EXPECT_TRUE(pointer.history.empty());
    EXPECT_FALSE(command.isBusy());
}

TEST_F(ExtractCommandTest, ValidationRefusesBadSettingsBeforeReadingAnything) {
    const struct {
        std::set<int> selected;
        QString texts[5];
        QString message;
    } cases[] = {
        {{1, 3}, {"", "a", "5", "a"}, "You forgot to input the start position."},
        {{1, 3}, {"1", "a", "", "a"}, "You forgot to input the end position."},
        {{1, 3}, {"5", "a", "3", "a"}, "End position must be greater than start position."},
        {{2, 3}, {"1", "", "5", "a"}, "You forgot to input the start character."},
        {{2, 3}, {"1", "s", "", "a"}, "You forgot to input the end position."},
        {{1, 4}, {"1", "a", "5", ""}, "You forgot to input the end character."},
        {{2, 4}, {"", "s", "", ""}, "You forgot to input the end character."},
    };
    addFile("f.csv", "a,b\n");
    for (const auto& c : cases) {
        dialogs.requests.clear();
        controls.check1 = 1;
        controls.selected = c.selected;
        controls.selected.insert(9);
        for (int box = 1; box <= 4; ++box) {
            controls.texts[box] = c.texts[box - 1];
        }
        run();
        EXPECT_EQ(dialogs.messageTexts(), QStringList{c.message}) << c.message.toStdString();
        EXPECT_EQ(dialogs.messages().front().caption, "Culvexa");
    }
    EXPECT_TRUE(results.rows.empty());
    EXPECT_TRUE(pointer.history.empty());
    EXPECT_EQ(yielder.calls, 0);
    EXPECT_FALSE(command.isBusy());
}

TEST_F(ExtractCommandTest, EqualOrUncheckedNumbersPassValidation) {
    addFile("f.csv", "a,b,c\n");
    controls.check1 = 1;
    controls.texts[1] = "2";
    controls.texts[3] = "2";
    run();
    controls.check1 = 0;
    controls.texts[1] = "";
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"b", "a", "b", "c"}));
    EXPECT_EQ(dialogs.messageTexts(), QStringList({"Done.", "Done."}));
}

TEST_F(ExtractCommandTest, UnconvertibleNumberIsReportedAt122ThenRefused) {
    addFile("f.csv", "a,b\n");
    controls.check1 = 1;
    controls.texts[1] = "abc";
    run();
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList({report("Type mismatch: \"abc\" is not a number", 122),
                           "End position must be greater than start position."}));
    EXPECT_EQ(dialogs.messages().front().caption, "Application Error");
    EXPECT_EQ(dialogs.messages().front().icon, MessageIcon::Warning);
    EXPECT_TRUE(results.rows.empty());
}

TEST_F(ExtractCommandTest, UnreadableFilesAreReportedAndTheRunGoesOn) {
    const QString missing = folder.filePath("gone.csv");
    files.paths << missing;
    files.paths << folder.path();
    addFile("ok.csv", "x,y");
    run();
    EXPECT_EQ(
        dialogs.messageTexts(),
        QStringList({report("Cannot open " + missing + ": No such file or directory", 184),
                     report("Cannot open " + folder.path() + ": Is a directory", 184), "Done."}));
    EXPECT_EQ(rowTexts(results), QStringList({"x", "y"}));
    EXPECT_EQ(pointer.history.back(), PointerState::Default);
    EXPECT_FALSE(command.isBusy());
}

TEST_F(ExtractCommandTest, FileCutShortDuringTheRunKeepsItsRowsAndTheRunGoesOn) {
    // Log rotation by copy and truncate: the file is emptied at the first pause inside it.
    const QByteArray line = QByteArray(1000, 'x') + ",y\n";
    const QString path = addFile("log.csv", line.repeated(4000));
    addFile("next.csv", "p,q");
    yielder.onYield = [&](int call) {
        if (call == 2) {
            EXPECT_TRUE(QFile::resize(path, 0));
        }
    };
    run();
    EXPECT_EQ(dialogs.messageTexts(), QStringList({"Done."}));
    const QStringList rows = rowTexts(results);
    ASSERT_GE(rows.size(), 2 * 1000);
    EXPECT_LT(rows.size(), 2 * 4000);
    EXPECT_EQ(rows.mid(rows.size() - 2), QStringList({"p", "q"}));
}

TEST_F(ExtractCommandTest, EntryRemovedWhileYieldingIsReportedAndSkipped) {
    addFile("a.csv", "a,b");
    addFile("b.csv", "c,d");
    yielder.onYield = [&](int call) {
        if (call == 1) {
            files.paths.removeLast();
        }
    };
    run();
    EXPECT_EQ(dialogs.messageTexts(), QStringList({report("Index out of bounds", 180), "Done."}));
    EXPECT_EQ(rowTexts(results), QStringList({"a", "b"}));
}

TEST_F(ExtractCommandTest, OverflowIsReportedOncePerLabelAndRun) {
    addFile("a.csv", "a,b\nc,d\n");
    addFile("b.csv", "e,f\n");
    controls.check1 = 1;
    controls.texts[1] = "40000";
    controls.texts[3] = "50000";
    run();
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList({report("Overflow", 200), report("Overflow", 216), "Done."}));
    EXPECT_TRUE(results.rows.empty());
}

TEST_F(ExtractCommandTest, SecondClickWhileRunningDoesNothing) {
    addFile("a.csv", "a,b");
    addFile("b.csv", "c,d");
    yielder.onYield = [&](int) {
        EXPECT_TRUE(command.isBusy());
        run();
    };
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"Done."});
    EXPECT_FALSE(command.isBusy());
}

TEST_F(ExtractCommandTest, SettingsChangedDuringARunApplyFromTheNextFile) {
    addFile("a.csv", "a,b,c");
    addFile("b.csv", "d,e,f");
    yielder.onYield = [&](int call) {
        if (call == 2) {
            controls.check1 = 1;
            controls.texts[1] = "3";
            controls.texts[3] = "3";
            controls.selected = {1, 3, 7};
        }
    };
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"a", "b", "c", "f"}));
}

TEST_F(ExtractCommandTest, OthersSeparatorIsUsedAsTyped) {
    addFile("a.csv", "x;; y;;z\n  whole line  \n");
    controls.selected = {1, 3, 11};
    controls.texts[5] = ";;";
    run();
    controls.texts[5] = "";
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"x", "y", "z", "x;; y;;z", "whole line"}));
}

TEST_F(ExtractCommandTest, FirstSelectedSeparatorDecides) {
    addFile("a.csv", "a b,c\td");
    controls.selected = {1, 3, 9, 10};
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"a b", "c\td"}));
}

}  // namespace
}  // namespace culvex
