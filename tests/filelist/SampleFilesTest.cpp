#include "filelist/SampleFiles.h"

#include "CommandFakes.h"
#include "TempTree.h"
#include "command/ErrorReport.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/Scramble.h"
#include "platform/QtSettingsStore.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

using testing::TempTree;

const QString kQuestion = QStringLiteral(
    "Would you like this software to open the folder where these sample files are stored "
    "(so that you can view them before working with them)?");

class SampleFiles : public ::testing::Test, protected testing::CommandFakes {
protected:
    void SetUp() override { samples = tree.folder(QStringLiteral("Samples")); }
    void snapshot() { SnapshotSampleFiles(settings, yielder, tree.root()); }
    void press(MessageAnswer answer = MessageAnswer::No) {
        dialogs.messageAnswers.push_back(answer);
        loadSamples(list, shell, context(tree.root()));
    }
    // The sample paths in the order the folder lists them.
    QStringList listed() const {
        QStringList paths;
        for (const QString& name : ListFilesInFolder(samples, QStringLiteral("*.*"))) {
            paths << samples + u'/' + name;
        }
        return paths;
    }

    TempTree tree;
    QString samples;
    FileListModel list;
    testing::FakeShell shell;
};

TEST_F(SampleFiles, AddsTheRecordedFilesOnceAndAsksAboutTheFolder) {
    for (const char* name : {"orders.csv", "log.txt", "t\u00e4b.tsv"}) {
        tree.file(QStringLiteral("Samples/") + QString::fromUtf8(name));
    }
    snapshot();
    press();
    EXPECT_EQ(list.paths(), listed());
    EXPECT_EQ(list.count(), 3);
    press();
    EXPECT_EQ(list.count(), 3);
    list.clear();
    press(MessageAnswer::Yes);
    EXPECT_EQ(list.paths(), listed());

    ASSERT_EQ(dialogs.messages().size(), 3u);
    for (const MessageRequest& question : dialogs.messages()) {
        EXPECT_EQ(question.text, kQuestion);
        EXPECT_EQ(question.caption, QStringLiteral("Culvexa"));
        EXPECT_EQ(question.buttons, MessageButtons::YesNo);
        EXPECT_EQ(question.icon, MessageIcon::None);
    }
    EXPECT_EQ(shell.opened, QStringList{samples + u'/'});
}

// The paths a press adds, in sorted order, after the record was taken or stored.
QStringList addedFromRecord(testing::CommandFakes& fakes, const QString& program) {
    FileListModel list;
    testing::FakeShell shell;
    fakes.dialogs.messageAnswers.push_back(MessageAnswer::No);
    loadSamples(list, shell, fakes.context(program));
    QStringList added = list.paths();
    added.sort();
    return added;
}

TEST(SampleRecord, AnyProgramFolderSurvivesAndOldRecordsStillRead) {
    const struct {
        const char* folder;
        QStringList names;
    } cases[] = {
        {"pro|gram", {QStringLiteral("a.csv"), QStringLiteral("b|.csv")}},
        {"end|", {QStringLiteral("||x|"), QStringLiteral("y.csv")}},
        {"plain", {QStringLiteral("a.csv")}},
    };
    for (const auto& c : cases) {
        TempTree tree;
        const QString program = tree.folder(QString::fromUtf8(c.folder));
        QStringList expected;
        for (const QString& name : c.names) {
            expected << tree.file(QString::fromUtf8(c.folder) + QStringLiteral("/Samples/") + name);
        }
        expected.sort();
        testing::CommandFakes fakes;
        SnapshotSampleFiles(fakes.settings, fakes.yielder, program);
        EXPECT_EQ(addedFromRecord(fakes, program), expected) << c.folder;
    }
    // A record written before "|" was doubled: paths joined by single "|".
    TempTree tree;
    const QStringList paths{tree.file(QStringLiteral("old/a.csv")),
                            tree.file(QStringLiteral("old/b.csv"))};
    testing::CommandFakes fakes;
    fakes.settings.write(QStringLiteral("Snapshot"),
                         ScrambleText(paths.join(u'|'), kSnapshotKey, fakes.yielder));
    EXPECT_EQ(addedFromRecord(fakes, tree.root()), paths);
}

TEST_F(SampleFiles, ADeletedSampleIsSkippedSilently) {
    tree.file(QStringLiteral("Samples/a.csv"));
    const QString gone = tree.file(QStringLiteral("Samples/b.csv"));
    snapshot();
    QFile::remove(gone);
    tree.file(QStringLiteral("Samples/later.csv"));
    press();
    EXPECT_EQ(list.paths(), QStringList{samples + QStringLiteral("/a.csv")});
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kQuestion});
}

TEST_F(SampleFiles, AnEmptyFolderRecordsNothingUntilItHoldsFiles) {
    snapshot();
    EXPECT_EQ(settings.values.value(QStringLiteral("Snapshot")), QString());
    press();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kQuestion});

    tree.file(QStringLiteral("Samples/new.csv"));
    snapshot();
    press();
    EXPECT_EQ(list.paths(), QStringList{samples + QStringLiteral("/new.csv")});
}

TEST_F(SampleFiles, WithoutARecordOnlyTheQuestionIsAsked) {
    press(MessageAnswer::Yes);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(shell.opened.size(), 1);
}

class FailingSettings final : public SettingsStore {
public:
    std::optional<QString> read(const QString&) const override {
        throw std::runtime_error("Settings unreadable");
    }
    void write(const QString&, const QString&) override {}

private:
    void beginBatch() override {}
    void endBatch() override {}
};

TEST_F(SampleFiles, AFailureIsReportedAndEndsTheLoading) {
    FailingSettings failing;
    loadSamples(list, shell,
                {dialogs, yielder, progress, pointer, dialogState, failing, tree.root()});
    EXPECT_EQ(
        dialogs.messageTexts(),
        QStringList{errorReportText(QStringLiteral("Settings unreadable"),
                                    formLocation(QStringLiteral("PushButton11_Click")), 100)});
    EXPECT_TRUE(shell.opened.isEmpty());
}

TEST(Scramble, EveryCodeFromOneTo255SurvivesARoundTrip) {
    std::string all;
    for (int code = 1; code <= 255; ++code) {
        all.push_back(static_cast<char>(code));
    }
    testing::ScriptedYielder yielder;
    const std::string scrambled = scrambleBytes(all, kSnapshotKey, yielder);
    EXPECT_EQ(yielder.calls, 255);
    EXPECT_EQ(scrambled.find('\0'), std::string::npos);
    EXPECT_EQ(unscrambleBytes(scrambled, kSnapshotKey, yielder), all);
}

TEST(Scramble, SumsAbove255WrapBy255) {
    testing::ScriptedYielder yielder;
    const struct {
        unsigned char code;
        char key;
        unsigned char scrambled;
    } cases[] = {{'A', 'a', 162}, {158, 'a', 255}, {159, 'a', 1}, {200, 'z', 67}, {255, 'z', 122}};
    for (const auto& c : cases) {
        const std::string key(1, c.key);
        const std::string one(1, static_cast<char>(c.code));
        const std::string scrambled = scrambleBytes(one, key, yielder);
        EXPECT_EQ(static_cast<unsigned char>(scrambled[0]), c.scrambled) << int(c.code);
        EXPECT_EQ(unscrambleBytes(scrambled, key, yielder), one) << int(c.code);
    }
}

TEST(Scramble, TheKeyCyclesAndIsEightLowercaseLetters) {
    ASSERT_EQ(kSnapshotKey.size(), 8u);
    for (const char c : kSnapshotKey) {
        EXPECT_TRUE(c >= 'a' && c <= 'z');
    }
    testing::ScriptedYielder yielder;
    const std::string text(9, '\x01');
    const std::string scrambled = scrambleBytes(text, kSnapshotKey, yielder);
    EXPECT_EQ(scrambled[8], scrambled[0]);
    EXPECT_NE(scrambled[1], scrambled[0]);
}

TEST(Scramble, AnyPathSurvivesTheSettingsFile) {
    TempTree tree;
    QtSettingsStore store(tree.path(QStringLiteral("Quillbrook.ini")));
    testing::ScriptedYielder yielder;
    QString text =
        QStringLiteral("/opt/caf\u00e9/\u65e5\u672c/\U0001F600.csv|/tmp/a;b=c,d\\e\"f.csv|");
    for (char16_t code = 1; code < 0x100; ++code) {
        text += QChar(code);
    }
    store.write(QStringLiteral("Snapshot"), ScrambleText(text, kSnapshotKey, yielder));
    QtSettingsStore reopened(tree.path(QStringLiteral("Quillbrook.ini")));
    const std::optional<QString> stored = reopened.read(QStringLiteral("Snapshot"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(UnscrambleText(*stored, kSnapshotKey, yielder), text);
}

}  // namespace
}  // namespace culvex
