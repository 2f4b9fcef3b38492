#include "extract/ExtractCommand.h"

#include "CommandFakes.h"
#include "FakePlatform.h"
#include "RecordingSink.h"
#include "ScriptedDialogs.h"
#include "command/AppSettings.h"
#include "command/PlainMessage.h"
#include "command/TypedNumbers.h"
#include "platform/QtSettingsStore.h"
#include "platform/Utf8Bytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
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
    TextEncoding encoding = TextEncoding::Auto;
    bool quoted = false;
    // The panel's options and texts by their numbers, as the window maps them.
    ExtractionChoices extractionSettings() const override {
        return {check1 == 1,
                isSelected(1),
                isSelected(2),
                isSelected(3),
                isSelected(4),
                toUtf8Bytes(texts[1]),
                toUtf8Bytes(texts[2]),
                toUtf8Bytes(texts[3]),
                toUtf8Bytes(texts[4]),
                separator(),
                toUtf8Bytes(texts[5]),
                encoding,
                quoted};
    }

private:
    bool isSelected(int option) const { return selected.count(option) != 0; }
    SeparatorChoice separator() const {
        for (int option = kFirstSeparatorOption; option <= kLastSeparatorOption; ++option) {
            if (isSelected(option)) {
                return separatorOfOption(option);
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

// A stop asked for while the run yields (before a file, or at a pause inside a large
// one) keeps the rows made so far and says how many instead of "Done.": the count the
// progress window shows at that moment.
TEST_F(ExtractCommandTest, StopKeepsTheRowsSoFarAndSaysHowMany) {
    const struct {
        int stopAtYield;
        qsizetype fewestRows;
        qsizetype mostRows;
    } cases[] = {{1, 0, 0}, {2, 2, 2}, {3, 4, 2 * 3000}};
    addFile("small.csv", "a,b");
    addFile("big.csv", (QByteArray(1000, 'x') + ",y\n").repeated(3000));
    for (const auto& c : cases) {
        results.rows.clear();
        dialogs.requests.clear();
        progress.stop = false;
        yielder.calls = 0;
        std::int64_t shownAtStop = -1;
        yielder.onYield = [&](int call) {
            if (call == c.stopAtYield) {
                progress.stop = true;
                shownAtStop = progress.count;
            }
        };
        run();
        const QStringList rows = rowTexts(results);
        EXPECT_EQ(shownAtStop, rows.size()) << c.stopAtYield;
        EXPECT_GE(rows.size(), c.fewestRows) << c.stopAtYield;
        EXPECT_LE(rows.size(), c.mostRows) << c.stopAtYield;
        EXPECT_EQ(results.publishedRows, rows.size());
        EXPECT_EQ(dialogs.messageTexts(), QStringList{stoppedAfterRows(rows.size())});
        EXPECT_EQ(pointer.history.back(), PointerState::Default);
        EXPECT_FALSE(command.isBusy());
    }
    EXPECT_EQ(progress.tasks, QStringList(3, "Extracting columns"));
    EXPECT_EQ(progress.ended, 3);
    EXPECT_EQ(progress.files,
              QStringList({"1 of 2: small.csv", "1 of 2: small.csv", "2 of 2: big.csv"}));
    EXPECT_EQ(progress.total, 3 + 3000 * 1003);
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

TEST_F(ExtractCommandTest, QuotedFieldsKeepTheirBreaksAndUnclosedQuotesAreToldOncePerFile) {
    addFile("a.csv", "1,\"x, \"\"y\"\"\r\nz\",2\r\n3,\"open\n4,5\n");
    addFile("b.csv", "6,\"7");
    controls.quoted = true;
    run();
    EXPECT_EQ(rowTexts(results),
              QStringList({"1", "x, \"y\"\r\nz", "2", "3", "\"open", "4", "5", "6", "\"7"}));
    const QString open =
        " have a quote that is not closed within 1 MiB: they were read from "
        "that quote on as unquoted text.";
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList({"1 line(s) of a.csv" + open, "1 line(s) of b.csv" + open, "Done."}));
}

TEST_F(ExtractCommandTest, AFullResultsListSaysOnceHowManyRowsWereLeftOut) {
    addFile("one.csv", "a,b,c\nno separator\n");
    addFile("two.csv", "e,f");
    results.maxRows = 2;
    run();
    EXPECT_EQ(rowTexts(results), QStringList({"a", "b"}));
    EXPECT_EQ(results.publishedRows, 2);
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList({"The results list is full: 3 more rows were found and left out. The "
                           "command-line extractor culvex-extract has no such limit.",
                           "Done."}));
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

// Typed text holding non-ASCII characters: é is C3 A9 in UTF-8 and E9 in Windows-1252; 日
// has no Windows-1252 byte; 鋼 (E9 8B BC) starts with the Windows-1252 byte of é.
TEST_F(ExtractCommandTest, TypedTextMatchesUtf8AndWindows1252Lines) {
    using enum TextEncoding;
    using Rows = std::vector<std::string>;
    const std::set<int> bySeparator = {1, 3, 11};
    const std::set<int> byMarkers = {2, 4, 11};
    const struct {
        const char* name;
        TextEncoding encoding;
        std::set<int> selected;
        QString separator;
        QString startMarker;
        QString endMarker;
        QByteArray line;
        Rows rows;
    } cases[] = {
        {"separator, UTF-8 line",
         Auto,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "a\xC3\xA9"
         "b",
         {"a", "b"}},
        {"separator, Windows-1252 line",
         Auto,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "a\xE9"
         "b",
         {"a", "b"}},
        {"separator never cuts a UTF-8 character",
         Auto,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "\xE9\x8B\xBC\xC3\xA9x",
         {"\xE9\x8B\xBC", "x"}},
        {"separator only UTF-8 has",
         Auto,
         bySeparator,
         u"日"_qs,
         {},
         {},
         "x\xE6\x97\xA5y",
         {"x", "y"}},
        {"Windows-1252 pinned, UTF-8 line",
         Windows1252,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "a\xC3\xA9"
         "b",
         {}},
        {"Windows-1252 pinned cuts at the lead byte",
         Windows1252,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "\xE9\x8B\xBC",
         {"\x8B\xBC"}},
        {"UTF-8 pinned, Windows-1252 line",
         Utf8,
         bySeparator,
         u"é"_qs,
         {},
         {},
         "a\xE9"
         "b",
         {}},
        {"markers, UTF-8 line, other case",
         Auto,
         byMarkers,
         u";"_qs,
         u"café"_qs,
         u"ÏVE"_qs,
         "x;CAF\xC3\x89;b;na\xC3\xAFve;y",
         {"CAF\xC3\x89", "b", "na\xC3\xAFve"}},
        {"markers, Windows-1252 line, other case",
         Auto,
         byMarkers,
         u";"_qs,
         u"café"_qs,
         u"ÏVE"_qs,
         "x;CAF\xC9;b;na\xEFve;y",
         {"CAF\xC9", "b", "na\xEFve"}},
        {"markers outside Windows-1252",
         Auto,
         byMarkers,
         u";"_qs,
         u"ПРИ"_qs,
         u"本"_qs,
         "x;\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82;\xE6\x97\xA5\xE6\x9C\xAC;z",
         {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xE6\x97\xA5\xE6\x9C\xAC"}},
        {"markers, Windows-1252 pinned, UTF-8 line",
         Windows1252,
         byMarkers,
         u";"_qs,
         u"café"_qs,
         u"ÏVE"_qs,
         "x;CAF\xC3\x89;b;na\xC3\xAFve;y",
         {}},
        {"markers, UTF-8 pinned, stray byte",
         Utf8,
         byMarkers,
         u";"_qs,
         u"café"_qs,
         u"e"_qs,
         "x;caf\xE9;y",
         {}},
    };
    for (const auto& c : cases) {
        files.paths.clear();
        results.rows.clear();
        addFile(QString::fromUtf8(c.name), c.line + "\n");
        controls.check1 = c.selected == byMarkers ? 1 : 0;
        controls.selected = c.selected;
        controls.texts[2] = c.startMarker;
        controls.texts[4] = c.endMarker;
        controls.texts[5] = c.separator;
        controls.encoding = c.encoding;
        run();
        EXPECT_EQ(results.rows, c.rows) << c.name;
    }
}

// What culvex-extract prints for the panel's choices, given as options and, with
// --use-settings, as the window's store holds them. The rows one per line; a refusal as its
// message, without the program's prefix.
QByteArray commandLineRun(const FakeControls& panel, const QString& file, bool fromSettings) {
    QStringList args;
    QTemporaryDir config;
    if (fromSettings) {
        QtSettingsStore store(config.filePath("Quillbrook/Quillbrook.ini"));
        for (int option : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
            store.write(keys::option(option), booleanSetting(panel.selected.count(option) != 0));
        }
        for (int box = 1; box <= 5; ++box) {
            store.write(keys::text(box), panel.texts[box]);
        }
        store.write(keys::kCheck1, QString::number(panel.check1));
        args << "--use-settings";
    } else {
        const char* separators[] = {"--space", "--comma-space", "--comma", "--tab", "--others"};
        const int separator = *panel.selected.rbegin();
        args << separators[separator - 7];
        if (separator == 11) {
            args << panel.texts[5];
        }
        if (panel.check1 == 1) {
            args << (panel.selected.count(1) ? "--start" : "--start-marker")
                 << panel.texts[panel.selected.count(1) ? 1 : 2]
                 << (panel.selected.count(3) ? "--end" : "--end-marker")
                 << panel.texts[panel.selected.count(3) ? 3 : 4];
        }
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    process.setProcessEnvironment(environment);
    process.start(CULVEX_EXTRACT, args << file);
    process.waitForFinished();
    return process.exitCode() == 0
               ? process.readAllStandardOutput()
               : process.readAllStandardError().trimmed().split('\n').last().mid(16) + '\n';
}

// The window and the command line extract the same rows, and refuse the same settings,
// for the same typed numbers and texts.
TEST_F(ExtractCommandTest, TheCommandLineAgreesWithTheWindow) {
    const struct {
        const char* name;
        std::set<int> selected;
        QString texts[5];  // Text1 to Text5
        QByteArray input;
        QByteArray expected;  // the rows one per line, or the refusal
    } cases[] = {
        {"typed separator with spaces",
         {1, 3, 11},
         {"1", "", "9", "", " | "},
         "a | b | c\nq|r\n",
         "a\nb\nc\n"},
        {"hexadecimal positions", {1, 3, 9}, {"&H2", "", "&H3", "", ""}, "p,q,r,s\n", "q\nr\n"},
        // The check compares 1000 and 1001; the column is read up to the separator.
        {"thousands separators", {1, 3, 9}, {"1,000", "", "1,001", "", ""}, "p,q\n", "p\n"},
        {"a C hexadecimal number",
         {1, 3, 9},
         {"1", "", "0x6", "", ""},
         "p,q\n",
         "End position must be greater than start position.\n"},
        {"Windows-1252 marker in other case",
         {2, 3, 9},
         {"", "\u00e9", "9", "", ""},
         "x,\xC9t\xE9,y\n",
         "\xC9t\xE9\ny\n"},
        {"UTF-8 marker: another letter",
         {2, 3, 9},
         {"", "\u010a", "9", "", ""},
         "x,\xC4\x9A"
         "a,y\n",
         ""},
        {"UTF-8 marker in other case",
         {2, 3, 9},
         {"", "\u010a", "9", "", ""},
         "x,\xC4\x8B"
         "a,y\n",
         "\xC4\x8B"
         "a\ny\n"},
        {"no start marker",
         {2, 4, 10},
         {"", "", "", "x", ""},
         "a\tb\n",
         "You forgot to input the start character.\n"},
    };
    for (const auto& c : cases) {
        results.rows.clear();
        dialogs.requests.clear();
        files.paths.clear();
        const QString path = addFile("in.csv", c.input);
        controls.check1 = 1;
        controls.selected = c.selected;
        std::copy(std::begin(c.texts), std::end(c.texts), controls.texts + 1);
        run();
        QByteArray window;
        for (const std::string& row : results.rows) {
            window += QByteArray::fromStdString(row) + '\n';
        }
        if (dialogs.messageTexts().last() != "Done.") {
            window = dialogs.messageTexts().last().toUtf8() + '\n';
        }
        EXPECT_EQ(window, c.expected) << c.name;
        EXPECT_EQ(commandLineRun(controls, path, false), c.expected) << c.name;
        EXPECT_EQ(commandLineRun(controls, path, true), c.expected) << c.name << ", stored";
    }
}

}  // namespace
}  // namespace culvex
