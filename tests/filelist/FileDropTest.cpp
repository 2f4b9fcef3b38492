#include "filelist/FileDrop.h"

#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListView.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

namespace culvex {
namespace {

using testing::TempTree;

class FileDrop : public ::testing::Test {
protected:
    void drop(const QStringList& paths) {
        dropOnFileList(list, paths, {reader, yielder, progress, dialogs});
    }

    TempTree tree;
    FileListModel list;
    testing::ScriptedDialogs dialogs;
    testing::ScriptedYielder yielder;
    testing::ScriptedProgress progress;
    testing::ScriptedFolderReader reader;
};

TEST_F(FileDrop, FilesAreAppendedExactlyAsDropped) {
    const QStringList files{
        tree.file(QStringLiteral("~lock.bin")), tree.file(QStringLiteral(".hidden")),
        tree.path(QStringLiteral("gone.csv")), QStringLiteral("//odd//path.csv")};
    drop(files);
    drop(files.mid(0, 1));
    EXPECT_EQ(list.paths(), files + files.mid(0, 1));
}

TEST_F(FileDrop, FoldersAreScannedForEveryFileInDropOrder) {
    tree.file(QStringLiteral("one/a.csv"));
    tree.file(QStringLiteral("one/sub/b.txt"));
    tree.file(QStringLiteral("one/~skip.csv"));
    tree.file(QStringLiteral("one/.hidden.csv"));
    tree.file(QStringLiteral("two/c"));
    tree.folder(QStringLiteral("empty/only/folders"));
    drop({tree.path(QStringLiteral("two")), tree.path(QStringLiteral("empty")),
          tree.path(QStringLiteral("one"))});
    EXPECT_EQ(list.paths(), QStringList({tree.path(QStringLiteral("two/c")),
                                         tree.path(QStringLiteral("one/a.csv")),
                                         tree.path(QStringLiteral("one/sub/b.txt"))}));
    drop({tree.path(QStringLiteral("two"))});
    EXPECT_EQ(list.count(), 4);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(FileDrop, StopKeepsTheEntriesAddedSoFar) {
    tree.file(QStringLiteral("two/c"));
    tree.file(QStringLiteral("one/a.csv"));
    yielder.onYield = [&](int) { progress.stop = list.count() > 0; };
    drop({tree.path(QStringLiteral("two")), tree.path(QStringLiteral("one")),
          tree.file(QStringLiteral("loose.csv"))});
    EXPECT_EQ(list.paths(), QStringList{tree.path(QStringLiteral("two/c"))});
    EXPECT_EQ(progress.tasks, QStringList{QStringLiteral("Scanning folders")});
    EXPECT_EQ(progress.ended, 1);
}

TEST(DroppedData, OnlyLocalFileListsAreAccepted) {
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.csv"));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/a.csv"))});
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/b.csv")),
                   QUrl(QStringLiteral("https://example.org/x")),
                   QUrl::fromLocalFile(QStringLiteral("/tmp/a folder"))});
    EXPECT_FALSE(offersFileList(text));
    EXPECT_FALSE(offersFileList(remote));
    EXPECT_TRUE(offersFileList(files));
    EXPECT_EQ(droppedPaths(files),
              QStringList({QStringLiteral("/tmp/b.csv"), QStringLiteral("/tmp/a folder")}));

    // Only this machine's files, with names that are UTF-8.
    QMimeData hosts;
    hosts.setUrls({QUrl(QStringLiteral("file://otherhost/share/a.csv")),
                   QUrl(QStringLiteral("file://localhost/tmp/c.csv")),
                   QUrl(QStringLiteral("file:///tmp/%C3%A9t%C3%A9.csv")),
                   QUrl(QStringLiteral("file:///tmp/latin%E9.csv")),
                   QUrl(QStringLiteral("file:///tmp/100%25.csv"))});
    EXPECT_EQ(droppedPaths(hosts),
              QStringList({QStringLiteral("/tmp/c.csv"), QStringLiteral("/tmp/\u00e9t\u00e9.csv"),
                           QStringLiteral("/tmp/100%.csv")}));
    QMimeData remoteFile;
    remoteFile.setUrls({QUrl(QStringLiteral("file://otherhost/a.csv"))});
    EXPECT_FALSE(offersFileList(remoteFile));
}

bool dragAccepted(FileListView& view, const QMimeData& data) {
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &event);
    return event.isAccepted();
}

TEST(FileListViewDrop, ShowsNoDropForDataWithoutFiles) {
    int argc = 1;
    char name[] = "culvex_filelist_tests";
    char* argv[] = {name};
    QApplication app(argc, argv);
    FileListView view;
    QStringList dropped;
    QObject::connect(&view, &FileListView::pathsDropped,
                     [&](const QStringList& paths) { dropped = paths; });
    QMimeData text;
    text.setText(QStringLiteral("just text"));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/b.csv"))});
    EXPECT_FALSE(dragAccepted(view, text));
    EXPECT_TRUE(dragAccepted(view, files));

    QDropEvent dropEvent(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &dropEvent);
    EXPECT_EQ(dropped, QStringList{QStringLiteral("/tmp/b.csv")});
    EXPECT_EQ(view.selectedRow(), -1);

    // Whatever the source proposes, the drop is taken as a copy; a move-only source is refused.
    const struct {
        Qt::DropActions offered;
        Qt::KeyboardModifiers keys;
        bool accepted;
    } offers[] = {
        {Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, true},
        {Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::AltModifier, true},
        {Qt::MoveAction, Qt::NoModifier, false},
    };
    for (const auto& offer : offers) {
        dropped.clear();
        QDragEnterEvent enter(QPoint(5, 5), offer.offered, &files, Qt::LeftButton, offer.keys);
        QCoreApplication::sendEvent(view.viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), offer.accepted) << offer.offered.toInt();
        QDropEvent drop(QPointF(5, 5), offer.offered, &files, Qt::LeftButton, offer.keys);
        QCoreApplication::sendEvent(view.viewport(), &drop);
        EXPECT_EQ(drop.isAccepted(), offer.accepted) << offer.offered.toInt();
        EXPECT_EQ(!dropped.isEmpty(), offer.accepted) << offer.offered.toInt();
        if (offer.accepted) {
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << offer.offered.toInt();
        }
    }
}

}  // namespace
}  // namespace culvex
