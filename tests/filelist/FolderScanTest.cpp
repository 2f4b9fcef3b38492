#include "filelist/FolderScanCommand.h"

#include "CommandFakes.h"
#include "TempTree.h"
#include "command/ErrorReport.h"
#include "filelist/AddFolder.h"
#include "filelist/ListEditing.h"
#include "filelist/SubDirectories.h"
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <climits>
#include <functional>

namespace culvex {
namespace {

using testing::TempTree;

class FolderScan : public ::testing::Test, protected testing::CommandFakes {
protected:
    // Answers the extension box and the folder browser, then presses the button.
    void scan(const std::optional<QString>& extension, const QString& folder) {
        dialogs.inputAnswers.push_back(extension);
        dialogs.folderAnswers.push_back(folder);
        scanFolder(list, context(), reader);
    }
    QStringList added(const QStringList& relative) const {
        QStringList paths;
        for (const QString& r : relative) {
            paths << tree.path(r);
        }
        return paths;
    }
    QString scanLocation() const {
        return locationText(QStringLiteral("MorvathTitle"), QStringLiteral("AddFolder"),
                            QStringLiteral("GetSubDirectories2016"));
    }

    TempTree tree;
    FileListModel list;
    testing::ScriptedFolderReader reader;
};

TEST_F(FolderScan, AsksForTheExtensionThenTheFolderAndRemembersBoth) {
    settings.values.insert(QStringLiteral("LastFolder"), QStringLiteral("/srv/old"));
    scan(QStringLiteral("txt"), tree.root());
    ASSERT_EQ(dialogs.requests.size(), 2u);
    const auto& box = std::get<InputRequest>(dialogs.requests[0]);
    EXPECT_EQ(box.prompt,
              QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for "
                             "all txt files, doc for all doc files, etc.)"));
    EXPECT_EQ(box.caption, QStringLiteral("Culvexa"));
    EXPECT_EQ(box.initialText, QStringLiteral("csv"));
    const auto& browser = std::get<FolderRequest>(dialogs.requests[1]);
    EXPECT_EQ(browser.title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(browser.startFolder, QStringLiteral("/srv/old"));
    EXPECT_EQ(settings.writes, QStringList({QStringLiteral("Extension=txt"),
                                            QStringLiteral("LastFolder=") + tree.root()}));
    EXPECT_EQ(pointer.history,
              std::vector<PointerState>({PointerState::Busy, PointerState::Default}));

    scan(std::nullopt, {});
    EXPECT_EQ(std::get<InputRequest>(dialogs.requests[2]).initialText, QStringLiteral("txt"));
}

TEST_F(FolderScan, AStoreThatCannotBeWrittenIsReportedAndTheScanGoesOn) {
    tree.file(QStringLiteral("a.txt"));
    settings.writeFailure = QStringLiteral("Permission denied");
    scan(QStringLiteral("txt"), tree.root());
    const QStringList texts = dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    for (int i : {0, 1}) {
        EXPECT_EQ(texts[i], errorReportText(QStringLiteral("Permission denied"),
                                            formLocation(QStringLiteral("PushButton4_Click")),
                                            i == 0 ? 104 : 110));
    }
    EXPECT_EQ(list.paths(), added({QStringLiteral("a.txt")}));
}

TEST_F(FolderScan, AnEmptyOrCancelledExtensionChangesNothing) {
    tree.file(QStringLiteral("a.csv"));
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional(QString())}) {
        scan(answer, tree.root());
        EXPECT_EQ(dialogs.requests.size(), 1u);
        EXPECT_TRUE(settings.writes.isEmpty());
        EXPECT_EQ(list.count(), 0);
        dialogs.requests.clear();
        dialogs.folderAnswers.clear();
    }
}

TEST_F(FolderScan, CancellingTheBrowserKeepsTheNewExtensionOnly) {
    settings.values.insert(QStringLiteral("LastFolder"), QStringLiteral("/srv/old"));
    scan(QStringLiteral("log"), QString());
    EXPECT_EQ(settings.writes, QStringList{QStringLiteral("Extension=log")});
    EXPECT_EQ(settings.values.value(QStringLiteral("LastFolder")), QStringLiteral("/srv/old"));
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(FolderScan, ListsTheFolderFirstThenEachLevelInOrder) {
    // Created out of order: listings come by name whatever the file system's own order.
    tree.file(QStringLiteral("top.csv"));
    tree.file(QStringLiteral("b/b.csv"));
    tree.file(QStringLiteral("A/A1/a1.csv"));
    tree.file(QStringLiteral("A/a.csv"));
    tree.file(QStringLiteral("Alpha.csv"));
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.paths(), added({QStringLiteral("Alpha.csv"), QStringLiteral("top.csv"),
                                   QStringLiteral("A/a.csv"), QStringLiteral("b/b.csv"),
                                   QStringLiteral("A/A1/a1.csv")}));
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.count(), 10);
    EXPECT_EQ(list.text(6), tree.path(QStringLiteral("Alpha.csv")));
}

TEST_F(FolderScan, TheExtensionPicksTheNames) {
    for (const char* name : {"a.csv", "b.txt", "c.TXT", "d", "e.txt.bak"}) {
        tree.file(QString::fromLatin1(name));
    }
    const struct {
        const char* extension;
        int count;
    } cases[] = {{"*", 5}, {"txt", 2}, {"TxT", 2}, {"csv", 1}, {".txt", 0}, {"doc", 0}};
    for (const auto& c : cases) {
        list.clear();
        scan(QString::fromLatin1(c.extension), tree.root());
        EXPECT_EQ(list.count(), c.count) << c.extension;
    }
}

TEST_F(FolderScan, SkipsTildeNamesHiddenArchiveFilesFoldersAndUnsafeFolders) {
    tree.file(QStringLiteral("~lock.csv"));
    tree.file(QStringLiteral(".hidden.csv"));
    const QString readOnlyHidden = tree.file(QStringLiteral(".kept.csv"));
    ::chmod(fs::nativePath(readOnlyHidden).c_str(), 0444);
    tree.folder(QStringLiteral("folder.csv"));
    tree.file(QStringLiteral("ok.csv"));
    tree.file(QStringLiteral(".hiddenfolder/in.csv"));
    tree.file(QStringLiteral("what?/q.csv"));
    tree.file(QStringLiteral("bell\x07/b.csv"));
    tree.file(QStringLiteral("caf\u00e9 \u65e5\u672c/u.csv"));
    scan(QStringLiteral("*"), tree.root());
    QStringList got = list.paths();
    got.sort();
    QStringList expected = added({QStringLiteral(".kept.csv"), QStringLiteral("ok.csv"),
                                  QStringLiteral(".hiddenfolder/in.csv"),
                                  QStringLiteral("caf\u00e9 \u65e5\u672c/u.csv")});
    expected.sort();
    EXPECT_EQ(got, expected);
}

TEST_F(FolderScan, VisitsEachRealFolderOnceThroughLinks) {
    tree.file(QStringLiteral("inside/a.csv"));
    TempTree outside;
    outside.file(QStringLiteral("o.csv"));
    ASSERT_TRUE(tree.link(tree.root(), QStringLiteral("inside/up")));
    ASSERT_TRUE(tree.link(outside.root(), QStringLiteral("out1")));
    ASSERT_TRUE(tree.link(outside.root(), QStringLiteral("out2")));
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.paths(), added({QStringLiteral("inside/a.csv"), QStringLiteral("out1/o.csv")}));
}

TEST_F(FolderScan, FoldersThatAreGoneOrUnreadableAreLeftOut) {
    tree.file(QStringLiteral("A/a.csv"));
    tree.file(QStringLiteral("A/deep/d.csv"));
    tree.file(QStringLiteral("B/b.csv"));
    tree.file(QStringLiteral("C/c.csv"));
    reader.listFailures.insert(tree.path(QStringLiteral("A/")), fs::FailureKind::PermissionDenied);
    reader.beforeInspect = [&](const QString& path) {
        if (path == tree.path(QStringLiteral("B/"))) {
            QDir(path).removeRecursively();
        }
    };
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.paths(), added({QStringLiteral("C/c.csv")}));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(FolderScan, AnUnreadableFolderOnDiskIsLeftOut) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not deny the super-user";
    }
    tree.file(QStringLiteral("A/a.csv"));
    tree.file(QStringLiteral("B/b.csv"));
    ::chmod(fs::nativePath(tree.path(QStringLiteral("A"))).c_str(), 0);
    scan(QStringLiteral("csv"), tree.root());
    ::chmod(fs::nativePath(tree.path(QStringLiteral("A"))).c_str(), 0755);
    EXPECT_EQ(list.paths(), added({QStringLiteral("B/b.csv")}));
}

TEST_F(FolderScan, OtherFailuresAreReportedAndTheScanGoesOn) {
    tree.file(QStringLiteral("A/a.csv"));
    tree.file(QStringLiteral("A/deep/d.csv"));
    tree.file(QStringLiteral("B/b.csv"));
    reader.listFailures.insert(tree.path(QStringLiteral("A/")), fs::FailureKind::Other);
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.paths(), added({QStringLiteral("A/a.csv"), QStringLiteral("B/b.csv")}));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest report = dialogs.messages()[0];
    EXPECT_EQ(report.text,
              errorReportText(QStringLiteral("Scripted failure"), scanLocation(), 106));
    EXPECT_EQ(report.caption, QStringLiteral("Culvexa"));
    EXPECT_EQ(report.icon, MessageIcon::Warning);
}

TEST_F(FolderScan, HiddenSystemFoldersAreSkippedUnlessTheyAreTheChosenRoot) {
    tree.file(QStringLiteral("top.csv"));
    tree.file(QStringLiteral("plain/p.csv"));
    tree.file(QStringLiteral("sys/s.csv"));
    tree.file(QStringLiteral("sys/below/x.csv"));
    tree.file(QStringLiteral("link/l.csv"));
    reader.attributes.insert(tree.path(QStringLiteral("sys/")), 22);
    reader.attributes.insert(tree.path(QStringLiteral("link/")), 1046);
    const QString chosen = tree.root() + u'/';
    const struct {
        bool hiddenSystem;
        bool root;
        QStringList expected;
    } cases[] = {
        {false, false, {QStringLiteral("top.csv"), QStringLiteral("plain/p.csv")}},
        {true, false, {QStringLiteral("top.csv")}},
        {true, true, {QStringLiteral("top.csv"), QStringLiteral("plain/p.csv")}},
    };
    for (const auto& c : cases) {
        reader.attributes.remove(chosen);
        if (c.hiddenSystem) {
            reader.attributes.insert(chosen, 22);
        }
        reader.roots = c.root ? QStringList{chosen} : QStringList{};
        list.clear();
        scan(QStringLiteral("csv"), tree.root());
        EXPECT_EQ(list.paths(), added(c.expected)) << c.hiddenSystem << c.root;
    }
}

TEST_F(FolderScan, TheListCannotBeEditedWhileTheScanRuns) {
    tree.file(QStringLiteral("a.csv"));
    tree.file(QStringLiteral("A/b.csv"));
    list.append(QStringLiteral("/before.csv"));
    yielder.onYield = [&](int) {
        removeOnDeleteKey(list, 0, pointer, Qt::Key_Delete);
        clearFileList(list, pointer, dialogs);
    };
    scan(QStringLiteral("csv"), tree.root());
    EXPECT_EQ(list.count(), 3);
    EXPECT_GT(yielder.calls, 0);
}

// A stop ends the scan at its next yield: the files added so far stay, and nothing more
// is said.
TEST_F(FolderScan, StopKeepsTheFilesAddedSoFar) {
    tree.file(QStringLiteral("top.csv"));
    tree.file(QStringLiteral("A/a.csv"));
    tree.file(QStringLiteral("b/b.csv"));
    const struct {
        std::function<bool()> stopWhen;
        QStringList expected;
    } cases[] = {{[] { return true; }, {}},
                 {[&] { return list.count() > 0; }, {QStringLiteral("top.csv")}}};
    for (const auto& c : cases) {
        list.clear();
        pointer.history.clear();
        progress.stop = false;
        yielder.onYield = [&](int) { progress.stop = progress.stop || c.stopWhen(); };
        scan(QStringLiteral("csv"), tree.root());
        EXPECT_EQ(list.paths(), added(c.expected));
        EXPECT_TRUE(dialogs.messageTexts().isEmpty());
        EXPECT_EQ(pointer.history,
                  std::vector<PointerState>({PointerState::Busy, PointerState::Default}));
    }
    EXPECT_EQ(progress.tasks, QStringList(2, QStringLiteral("Scanning folders")));
    EXPECT_EQ(progress.ended, 2);
}

TEST(GetSubDirectories2016, WithoutRecursionAddsOneLevel) {
    TempTree tree;
    tree.folder(QStringLiteral("A/A1"));
    testing::ScriptedDialogs dialogs;
    testing::ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    testing::ScriptedFolderReader reader;
    QStringList directories{tree.root() + u'/'};
    GetSubDirectories2016(directories, false, {reader, yielder, progress, dialogs});
    EXPECT_EQ(directories, QStringList({tree.root() + u'/', tree.path(QStringLiteral("A/"))}));
}

TEST(ListFilesInFolder, ListsOpenableFilesOnly) {
    TempTree tree;
    tree.file(QStringLiteral("a.csv"));
    tree.file(QStringLiteral(".h.csv"));
    tree.folder(QStringLiteral("d.csv"));
    tree.link(tree.path(QStringLiteral("nowhere")), QStringLiteral("dangling.csv"));
    tree.link(tree.path(QStringLiteral("a.csv")), QStringLiteral("alias.csv"));
    tree.file(QStringLiteral("B.csv"));
    const QStringList names = ListFilesInFolder(tree.root(), QStringLiteral("*.csv"));
    EXPECT_EQ(names, QStringList({QStringLiteral(".h.csv"), QStringLiteral("a.csv"),
                                  QStringLiteral("alias.csv"), QStringLiteral("B.csv")}));
    EXPECT_TRUE(
        ListFilesInFolder(tree.path(QStringLiteral("missing")), QStringLiteral("*.*")).isEmpty());
    EXPECT_TRUE(fs::isOpenableFile(tree.path(QStringLiteral("a.csv"))));
    EXPECT_FALSE(fs::isOpenableFile(tree.path(QStringLiteral("d.csv"))));
    EXPECT_FALSE(fs::isOpenableFile(tree.path(QStringLiteral("missing.csv"))));
}

TEST(ListFilesInFolder, LeavesOutFilesWhosePathIsTooLongToOpen) {
    TempTree tree;
    QString folder = tree.root();
    while (folder.size() < PATH_MAX - 220) {
        folder += u'/' + QString(200, u'd');
    }
    folder += u'/' + QString(PATH_MAX - 20 - folder.size() - 1, u'e');
    ASSERT_TRUE(QDir().mkpath(folder));
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    const QString longName = QString(40, u'n') + u".csv"_qs;
    for (const QString& name : {u"a.csv"_qs, longName}) {
        const int file =
            ::openat(fd, QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0) << name.toStdString();
        ::close(file);
    }
    ::close(fd);
    EXPECT_EQ(ListFilesInFolder(folder, u"*.csv"_qs), QStringList{u"a.csv"_qs});
}

TEST(HasUnsafeChars, ControlCharactersAndQuestionMarks) {
    const struct {
        const char16_t* name;
        bool expected;
    } cases[] = {{u"plain", false},   {u"caf\u00e9", false},  {u"\u65e5\u672c", false},
                 {u"a?b", true},      {u"tab\there", true},   {u"del\u007f", true},
                 {u"c1\u0085", true}, {u"nbsp\u00a0", false}, {u"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(HasUnsafeChars(QString::fromUtf16(c.name)), c.expected)
            << QString::fromUtf16(c.name).toStdString();
    }
}

}  // namespace
}  // namespace culvex
