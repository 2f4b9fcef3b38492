#include "QtTestApplication.h"
#include "output/ResultsModel.h"
#include "output/ResultsView.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <string>

namespace culvex {
namespace {

constexpr int kRows = 100;

class ResultsViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kRows; ++i) {
            model.append(std::to_string(i));
        }
        model.publish();
        view.setModel(&model);
        view.horizontalHeader()->resizeSection(0, 150);
        view.resize(200, 12 * view.rowHeight());
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    int page() const { return view.viewport()->height() / view.rowHeight(); }
    int currentRow() const { return view.currentIndex().row(); }
    void makeCurrent(int row) { view.setCurrentIndex(model.index(row)); }
    QPoint rowCentre(int row) const { return view.visualRect(model.index(row)).center(); }
    bool shown(int row) const {
        return view.viewport()->rect().contains(view.visualRect(model.index(row)));
    }

    QApplication& app = testing::ensureQtApplication();
    ResultsModel model;
    ResultsView view;
};

struct KeyCase {
    const char* name;
    int from;
    Qt::Key key;
    // The row the key moves to: `rows` plus `pages` pages, kept within the list.
    int rows;
    int pages;
};

const KeyCase kKeyCases[] = {
    {"DownMovesOneRow", 0, Qt::Key_Down, 1, 0},
    {"UpStaysOnTheFirstRow", 0, Qt::Key_Up, 0, 0},
    {"DownStaysOnTheLastRow", kRows - 1, Qt::Key_Down, kRows - 1, 0},
    {"PageDownMovesAPage", 0, Qt::Key_PageDown, 0, 1},
    {"PageDownStopsAtTheLastRow", kRows - 3, Qt::Key_PageDown, kRows - 1, 0},
    {"PageUpStopsAtTheFirstRow", 3, Qt::Key_PageUp, 0, 0},
    {"PageUpMovesAPage", 50, Qt::Key_PageUp, 50, -1},
    {"EndGoesToTheLastRow", 5, Qt::Key_End, kRows - 1, 0},
    {"HomeGoesToTheFirstRow", 80, Qt::Key_Home, 0, 0},
    {"RightStaysOnTheRow", 7, Qt::Key_Right, 7, 0},
    {"TypedTextFindsTheNextRowStartingWithIt", 0, Qt::Key_5, 5, 0},
    {"TypedTextWrapsToTheTop", 60, Qt::Key_1, 1, 0},
    {"TypedTextNoRowStartsWithStays", 42, Qt::Key_X, 42, 0},
};

class ResultsViewKeyTest : public ResultsViewTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ResultsViewKeyTest, MovesTheSelectedRowIntoSight) {
    const KeyCase& c = GetParam();
    makeCurrent(c.from);
    QTest::keyClick(&view, c.key);
    const int expected = std::clamp(c.rows + c.pages * page(), 0, kRows - 1);
    EXPECT_EQ(currentRow(), expected);
    ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view.selectionModel()->selectedRows().first().row(), expected);
    EXPECT_TRUE(shown(expected));
}

INSTANTIATE_TEST_SUITE_P(Keys, ResultsViewKeyTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ClickCase {
    const char* name;
    // Scrolls the list, then gives the point to click in the list's viewport.
    std::function<QPoint(ResultsView&, ResultsModel&)> at;
    // The row clicked, or -1 when the click is beside every row.
    int row;
};

const ClickCase kClickCases[] = {
    {"ARow", [](ResultsView& v, ResultsModel& m) { return v.visualRect(m.index(2)).center(); }, 2},
    {"ARowOfAListScrolledDown",
     [](ResultsView& v, ResultsModel& m) {
         v.scrollTo(m.index(60), QAbstractItemView::PositionAtTop);
         return QPoint(5, v.rowHeight() / 2);
     },
     60},
    {"ARowOfAListScrolledRight",
     [](ResultsView& v, ResultsModel& m) {
         v.horizontalHeader()->resizeSection(0, 600);
         v.horizontalScrollBar()->setValue(300);
         return QPoint(5, v.visualRect(m.index(1)).center().y());
     },
     1},
    {"RightOfTheColumn",
     [](ResultsView& v, ResultsModel& m) { return QPoint(170, v.visualRect(m.index(2)).top()); },
     -1},
    {"BelowTheLastRow",
     [](ResultsView& v, ResultsModel& m) {
         m.clear();
         m.append("only");
         m.publish();
         return QPoint(5, 3 * v.rowHeight());
     },
     -1},
};

class ResultsViewClickTest : public ResultsViewTest,
                             public ::testing::WithParamInterface<ClickCase> {};

// A click beside every row clears the selection, so a double-click there removes nothing.
TEST_P(ResultsViewClickTest, SelectsAndDoubleClicksOnlyTheRowUnderThePointer) {
    const ClickCase& c = GetParam();
    const QPoint at = c.at(view, model);
    view.selectionModel()->select(model.index(0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QSignalSpy doubleClicked(&view, &QAbstractItemView::doubleClicked);
    // A double-click reaches a widget as a press and release, then the double-click.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(doubleClicked.size(), c.row < 0 ? 0 : 1);
    ASSERT_EQ(selected.size(), c.row < 0 ? 0 : 1);
    if (c.row >= 0) {
        EXPECT_EQ(selected.first().row(), c.row);
        EXPECT_EQ(doubleClicked.first().first().toModelIndex().row(), c.row);
    }
}

INSTANTIATE_TEST_SUITE_P(Clicks, ResultsViewClickTest, ::testing::ValuesIn(kClickCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Ctrl+C asks for the current row whole; Shift+F10 opens the menu at it.
TEST_F(ResultsViewTest, KeysThatActOnTheCurrentRow) {
    makeCurrent(7);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy copied(&view, &ResultsView::copyRequested);
    QSignalSpy menu(&view, &QWidget::customContextMenuRequested);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied.first().first().toInt(), 7);
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.first().first().toPoint(), rowCentre(7));
}

// A selected row removed out of sight moves nothing in sight; the row that takes its place
// is selected.
TEST_F(ResultsViewTest, RemovingASelectedRowOutOfSightMovesNothingInSight) {
    const struct {
        int removed;
        int firstShown;  // before, and after
        int after;
    } cases[] = {{5, 50, 49}, {80, 40, 40}, {45, 45, 45}};
    view.setFocus();
    for (const auto& c : cases) {
        view.selectionModel()->setCurrentIndex(model.index(c.removed),
                                               QItemSelectionModel::ClearAndSelect);
        view.verticalScrollBar()->setValue(c.firstShown);
        model.removeAt(c.removed);
        QApplication::processEvents();
        EXPECT_EQ(view.verticalScrollBar()->value(), c.after) << c.removed;
        EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList{model.index(c.removed)})
            << c.removed;
    }
}

// Without the focus the selected row takes the quieter look of an inactive selection, also
// under a skin that gives the selection one colour.
TEST_F(ResultsViewTest, TheSelectedRowLooksDifferentWithoutTheFocus) {
    view.setStyleSheet(u"culvex--ResultsView { selection-background-color: #3d6fb6; }"_qs);
    makeCurrent(2);
    view.selectionModel()->select(model.index(2), QItemSelectionModel::ClearAndSelect);
    const QPoint inRow = rowCentre(2) + QPoint(40, 0);
    view.setFocus();
    const QColor focused = view.viewport()->grab().toImage().pixelColor(inRow);
    view.clearFocus();
    const QColor unfocused = view.viewport()->grab().toImage().pixelColor(inRow);
    // Clearly paler, not the shade or two a focus frame makes.
    EXPECT_GT(unfocused.lightness() - focused.lightness(), 40)
        << focused.name().toStdString() << " " << unfocused.name().toStdString();
}

TEST_F(ResultsViewTest, TheScrollBarFollowsRowsAddedRemovedAndCleared) {
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), kRows - page());
    bar->setValue(bar->maximum());
    model.removeAt(kRows - 1);
    EXPECT_EQ(bar->maximum(), kRows - 1 - page());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(shown(kRows - 2));
    model.append("appended");
    model.publish();
    EXPECT_EQ(bar->maximum(), kRows - page());
    model.clear();
    QApplication::processEvents();
    EXPECT_EQ(bar->maximum(), 0);
}

TEST_F(ResultsViewTest, ScreenReadersReadTheRowsTheirSelectionAndTheRowUnderAPoint) {
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->childCount(), kRows);
    makeCurrent(3);
    QAccessibleInterface* row = list->child(3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Name), u"3"_qs);
    EXPECT_TRUE(row->state().selected);
    EXPECT_EQ(list->indexOfChild(row), 3);
    const QPoint centre = view.viewport()->mapToGlobal(rowCentre(2));
    ASSERT_NE(list->childAt(centre.x(), centre.y()), nullptr);
    EXPECT_EQ(list->childAt(centre.x(), centre.y())->text(QAccessible::Name), u"2"_qs);
    model.removeAt(0);
    EXPECT_EQ(list->child(3)->text(QAccessible::Name), u"4"_qs);
    EXPECT_EQ(list->child(kRows - 1), nullptr);
}

}  // namespace
}  // namespace culvex
