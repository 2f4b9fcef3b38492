#include "Form1Fixture.h"
#include "app/FormControls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <span>

namespace culvex {
namespace {

using testing::Form1Fixture;

const QString kResources = QStringLiteral(CULVEX_TEST_DATA "/../../resources");

using WindowTest = Form1Fixture;

TEST_F(WindowTest, EveryDesignedControlSitsInItsContainer) {
    create();
    EXPECT_EQ(form->size(), QSize(1064, 392));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    for (const ControlDesign& design : std::span(kMainWindowControls, kMainWindowControlCount)) {
        const auto* control = form->findChild<QWidget*>(QString::fromUtf8(design.name));
        ASSERT_NE(control, nullptr) << design.name;
        const QString container = *design.container ? design.container : "Form1";
        EXPECT_EQ(control->parentWidget()->objectName(), container) << design.name;
        EXPECT_TRUE(
            form->rect().contains(control->mapTo(form.get(), control->rect().bottomRight())))
            << design.name;
    }
    EXPECT_EQ(listView1(*form)->geometry(), QRect(8, 8, 520, 125));
    EXPECT_EQ(pushButton(*form, 7)->geometry(), QRect(536, 157, 520, 27));
}

TEST_F(WindowTest, FontsAreArialBoldAndTheButtonsLarger) {
    create();
    EXPECT_DOUBLE_EQ(pushButton(*form, 1)->font().pointSizeF(), 11.25);
    EXPECT_DOUBLE_EQ(option(*form, 7)->font().pointSizeF(), 9.0);
    for (const QWidget* control :
         {static_cast<QWidget*>(pushButton(*form, 10)), static_cast<QWidget*>(option(*form, 1)),
          static_cast<QWidget*>(textBox(*form, 1))}) {
        EXPECT_EQ(control->font().family(), u"Arial"_qs);
        EXPECT_EQ(control->font().weight(), QFont::Bold);
    }
}

TEST_F(WindowTest, WithoutSkinTheWindowIsWhite) {
    load();
    EXPECT_TRUE(form->styleSheet().isEmpty());
    for (const QWidget* control :
         {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(frame(*form, 4)),
          static_cast<QWidget*>(option(*form, 8))}) {
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(Qt::white));
    }
}

TEST_F(WindowTest, SkinBesideTheProgramIsApplied) {
    ASSERT_TRUE(QDir(programFolder.path()).mkdir(u"x"_qs));
    ASSERT_TRUE(QFile::copy(kResources + u"/x/o.cjs"_qs, besideProgram(u"x/o.cjs"_qs)));
    load();
    QFile skin(kResources + u"/x/o.cjs"_qs);
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    EXPECT_EQ(form->styleSheet(), QString::fromUtf8(skin.readAll()));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (const QWidget* control :
         {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(frame(*form, 1)),
          static_cast<QWidget*>(option(*form, 2)), static_cast<QWidget*>(check1(*form))}) {
        EXPECT_EQ(control->palette().color(QPalette::Window), buttonFace);
    }
    for (QWidget* list :
         {static_cast<QWidget*>(listView1(*form)), static_cast<QWidget*>(listView2(*form))}) {
        list->ensurePolished();
        EXPECT_EQ(list->palette().color(QPalette::Highlight), QColor(0x3d, 0x6f, 0xb6))
            << list->objectName().toStdString();
    }
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(WindowTest, HandCursorBesideTheProgramBecomesTheCustomPointer) {
    ASSERT_TRUE(QFile::copy(kResources + u"/HAND-M.CUR"_qs, besideProgram(u"HAND-M.CUR"_qs)));
    load();
    EXPECT_EQ(customPointer(*form).shape(), Qt::BitmapCursor);
    EXPECT_EQ(customPointer(*form).hotSpot(), QPoint(9, 1));
    form->setPointer(PointerState::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(WindowTest, MissingHandCursorLeavesTheArrowWithoutMessage) {
    load();
    EXPECT_EQ(customPointer(*form).shape(), Qt::ArrowCursor);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(WindowTest, UnreadableHandCursorIsReportedAtItsStep) {
    QFile garbage(besideProgram(u"HAND-M.CUR"_qs));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a cursor");
    garbage.close();
    load();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(
        u"in Culvexor2021/08/31.Form1.Form_Load at line 104\r\r"_qs));
    EXPECT_EQ(customPointer(*form).shape(), Qt::ArrowCursor);
    EXPECT_EQ(form->windowTitle(), u"Culvex"_qs);
}

TEST_F(WindowTest, PointerStatesShapeTheWindowCursor) {
    create();
    form->setPointer(PointerState::Busy);
    EXPECT_TRUE(form->isBusy());
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
    form->setPointer(PointerState::Arrow);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    form->setPointer(PointerState::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    form->setPointer(PointerState::Default);
    EXPECT_EQ(form->pointer(), PointerState::Default);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowTest, TabAndShiftTabLeaveBothLists) {
    load().show();
    QApplication::setActiveWindow(form.get());
    fileListOf(*form).append(u"/a.csv"_qs);
    fileListOf(*form).append(u"/b.csv"_qs);
    resultsOf(*form).append("row");
    resultsOf(*form).append("row");
    resultsOf(*form).publish();
    for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(listView1(*form)),
                                    static_cast<QAbstractItemView*>(listView2(*form))}) {
        for (const Qt::KeyboardModifiers keys : {Qt::NoModifier, Qt::ShiftModifier}) {
            list->setFocus(Qt::TabFocusReason);
            list->setCurrentIndex(list->model()->index(0, 0));
            QKeyEvent tab(QEvent::KeyPress, keys == Qt::NoModifier ? Qt::Key_Tab : Qt::Key_Backtab,
                          keys);
            QApplication::sendEvent(list, &tab);
            EXPECT_NE(QApplication::focusWidget(), list) << list->objectName().toStdString();
        }
    }
}

// Tab into an option frame lands on its selected option, wherever it stands.
TEST_F(WindowTest, TabEntersAnOptionFrameOnTheSelectedOption) {
    load().show();
    QApplication::setActiveWindow(form.get());
    const std::pair<const char*, int> cases[] = {{"Text4", 8},  {"Text4", 9}, {"Text4", 10},
                                                 {"Text4", 11}, {"Text4", 7}, {"Check1", 2}};
    for (const auto& [before, selected] : cases) {
        option(*form, selected)->setChecked(true);
        auto* from = form->findChild<QWidget*>(QString::fromLatin1(before));
        from->setFocus(Qt::TabFocusReason);
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(from, &tab);
        EXPECT_EQ(QApplication::focusWidget(), option(*form, selected)) << selected;
    }
}

// Tab into a list with no row selected selects one, so that Delete removes it.
TEST_F(WindowTest, TabIntoAListSelectsARowThatDeleteRemoves) {
    load().show();
    QApplication::setActiveWindow(form.get());
    fileListOf(*form).append(u"/a.csv"_qs);
    fileListOf(*form).append(u"/b.csv"_qs);
    resultsOf(*form).append("a");
    resultsOf(*form).append("b");
    resultsOf(*form).publish();
    for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(listView1(*form)),
                                    static_cast<QAbstractItemView*>(listView2(*form))}) {
        list->selectionModel()->clear();
        list->clearFocus();
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(list->model()->rowCount(), 1) << list->objectName().toStdString();
    }
}

// Delete on a selected entry scrolled out of sight keeps the entries in sight where they
// are; the entry that takes its place is selected.
TEST_F(WindowTest, DeletingAnEntryOutOfSightMovesNothingInSight) {
    load().show();
    QApplication::setActiveWindow(form.get());
    for (int i = 0; i < 60; ++i) {
        fileListOf(*form).append(QStringLiteral("/f%1.csv").arg(i));
    }
    FileListView* list = listView1(*form);
    list->setFocus();
    list->selectionModel()->setCurrentIndex(
        fileListOf(*form).index(5),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->verticalScrollBar()->setValue(30);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->verticalScrollBar()->value(), 29);
    EXPECT_EQ(list->selectedRow(), 5);
}

TEST_F(WindowTest, TextBoxesAndListsCarryTheirCaptionsAsAccessibleNames) {
    create();
    const std::pair<const char*, const char*> names[] = {
        {"Text1", "Number for start position:"},
        {"Text2", "Unique character(s) for start position:"},
        {"Text3", "Number for end position:"},
        {"Text4", "Unique character(s) for end position:"},
        {"Text5", "Others:"},
        {"ListView1", "File(s)"},
        {"ListView2", "Results"},
    };
    for (const auto& [control, name] : names) {
        const auto* widget = form->findChild<QWidget*>(QString::fromLatin1(control));
        ASSERT_NE(widget, nullptr) << control;
        EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(name)) << control;
    }
}

TEST_F(WindowTest, AWindowWiderThanTheScreenOpensWithItsLeftEdgeOnIt) {
    create();
    const QRect area = form->screen()->availableGeometry();
    ASSERT_GT(form->width(), area.width()) << "the offscreen screen is wider than the window";
    EXPECT_EQ(form->x(), area.left());
    EXPECT_GE(form->y(), area.top());
}

TEST_F(WindowTest, ShortcutsPressTheirButtonsAndDeleteRemovesAResult) {
    load().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    int pressed = 0;
    for (int n : {1, 6, 7, 8}) {
        QObject::connect(pushButton(*form, n), &QPushButton::clicked,
                         [&pressed, n] { pressed = n; });
    }
    const std::pair<QKeyCombination, int> keys[] = {
        {Qt::Key_F5, 7},
        {Qt::CTRL | Qt::Key_O, 1},
        {Qt::CTRL | Qt::Key_S, 6},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_C, 8},
    };
    for (const auto& [key, button] : keys) {
        pressed = 0;
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(pressed, button) << button;
    }
    resultsOf(*form).clear();
    resultsOf(*form).append("a");
    resultsOf(*form).append("b");
    resultsOf(*form).publish();
    listView2(*form)->setFocus();
    listView2(*form)->setCurrentIndex(resultsOf(*form).index(0));
    QTest::keyClick(listView2(*form), Qt::Key_Delete);
    ASSERT_EQ(resultsOf(*form).rowCount(), 1);
    EXPECT_EQ(resultsOf(*form).index(0).data().toString(), u"b"_qs);
}

TEST_F(WindowTest, ClosingAsksNothing) {
    load();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(dialogs.requests.empty());
    // A command that was yielding does not carry on after the window has gone.
    EXPECT_TRUE(yielder.ended);
}

}  // namespace
}  // namespace culvex
