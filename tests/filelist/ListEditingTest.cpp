#include "filelist/ListEditing.h"

#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "filelist/FileListModel.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

const QStringList kThree{QStringLiteral("/a.csv"), QStringLiteral("/b.csv"),
                         QStringLiteral("/c.csv")};

TEST(ListEditing, RemovesOnlyTheSelectedEntryWhenTheWindowIsFree) {
    const struct {
        const char* what;
        QStringList before;
        int selected;
        PointerState pointer;
        QStringList after;
    } cases[] = {
        {"selected", kThree, 1, PointerState::Default, {kThree[0], kThree[2]}},
        {"hand pointer", kThree, 0, PointerState::Custom, {kThree[1], kThree[2]}},
        {"busy", kThree, 1, PointerState::Busy, kThree},
        {"no selection", kThree, -1, PointerState::Default, kThree},
        {"empty list", {}, 0, PointerState::Default, {}},
    };
    for (const auto& c : cases) {
        testing::RecordingPointer pointer;
        pointer.setPointer(c.pointer);
        FileListModel byKey;
        byKey.appendAll(c.before);
        removeOnDeleteKey(byKey, c.selected, pointer, Qt::Key_Delete);
        EXPECT_EQ(byKey.paths(), c.after) << c.what;
        FileListModel byClick;
        byClick.appendAll(c.before);
        removeDoubleClickedFile(byClick, c.selected, pointer);
        EXPECT_EQ(byClick.paths(), c.after) << c.what;
    }
}

TEST(ListEditing, KeysOtherThanDeleteChangeNothing) {
    testing::RecordingPointer pointer;
    for (const int key : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_A, Qt::Key_Insert}) {
        FileListModel list;
        list.appendAll(kThree);
        removeOnDeleteKey(list, 1, pointer, key);
        EXPECT_EQ(list.paths(), kThree) << key;
    }
}

TEST(ListEditing, ClearListEmptiesTheListUnlessBusy) {
    testing::ScriptedDialogs dialogs;
    testing::RecordingPointer pointer;
    FileListModel list;
    list.appendAll(kThree);
    pointer.setPointer(PointerState::Busy);
    clearFileList(list, pointer, dialogs);
    EXPECT_EQ(list.count(), 3);
    pointer.setPointer(PointerState::Default);
    clearFileList(list, pointer, dialogs);
    EXPECT_EQ(list.count(), 0);
    clearFileList(list, pointer, dialogs);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(dialogs.requests.empty());
}

}  // namespace
}  // namespace culvex
