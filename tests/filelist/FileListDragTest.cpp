#include "filelist/FileListDrag.h"

#include "FakePlatform.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

class FileListDragTest : public ::testing::Test {
protected:
    void fill(const QStringList& paths) { list.appendAll(paths); }

    FileListModel list;
    testing::FixedMouse mouse;
    FileListDrag drag{list, mouse};
};

TEST_F(FileListDragTest, DraggingTheFirstEntryDownWalksItToTheEnd) {
    fill({u"A"_qs, u"B"_qs, u"C"_qs});
    drag.press();
    drag.release();
    drag.pick(0);
    drag.press();
    EXPECT_EQ(drag.moveOver(0).selectRow, -1);
    EXPECT_EQ(drag.moveOver(1).selectRow, 1);
    EXPECT_EQ(drag.moveOver(2).selectRow, 2);
    drag.release();
    EXPECT_EQ(list.paths(), (QStringList{u"B"_qs, u"C"_qs, u"A"_qs}));
    // The moving entry followed its path to the end: the next drag moves it on from there.
    drag.press();
    EXPECT_EQ(drag.moveOver(1).selectRow, 1);
    EXPECT_EQ(list.paths(), (QStringList{u"B"_qs, u"A"_qs, u"C"_qs}));
}

TEST_F(FileListDragTest, MovesThatChangeNothing) {
    const QStringList paths{u"A"_qs, u"same"_qs, u"same"_qs};
    fill(paths);
    // Moving without a press, without a clicked entry, over empty space, over an equal text.
    EXPECT_EQ(drag.moveOver(1).selectRow, -1);
    drag.press();
    EXPECT_EQ(drag.moveOver(1).selectRow, -1);
    drag.pick(1);
    EXPECT_EQ(drag.moveOver(-1).selectRow, -1);
    EXPECT_EQ(drag.moveOver(2).selectRow, -1);
    drag.release();
    EXPECT_EQ(drag.moveOver(0).selectRow, -1);
    EXPECT_EQ(list.paths(), paths);
}

TEST_F(FileListDragTest, EntryRemovedDuringADragIsNotMoved) {
    fill({u"A"_qs, u"B"_qs});
    drag.pick(1);
    drag.press();
    list.removeAt(1);
    EXPECT_EQ(drag.moveOver(0).selectRow, -1);
    EXPECT_EQ(list.paths(), QStringList{u"A"_qs});
}

TEST_F(FileListDragTest, ScrollsOnlyBeyondTheScreenThresholds) {
    const struct {
        int y;
        int fromRow;
        int targetRow;
        int expectedVisible;
    } cases[] = {
        {304, 2, 1, 0}, {305, 2, 1, -1}, {364, 1, 2, -1},
        {365, 1, 2, 3}, {304, 1, 0, -1}, {365, 2, 3, -1},
    };
    for (const auto& c : cases) {
        FileListModel model;
        model.appendAll({u"0"_qs, u"1"_qs, u"2"_qs, u"3"_qs});
        FileListDrag d(model, mouse);
        mouse.at.setY(c.y);
        d.pick(c.fromRow);
        d.press();
        EXPECT_EQ(d.moveOver(c.targetRow).ensureVisibleRow, c.expectedVisible)
            << "y=" << c.y << " target=" << c.targetRow;
    }
}

}  // namespace
}  // namespace culvex
