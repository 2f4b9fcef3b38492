// The window pointer while the mouse moves over the real widgets, and reordering the file
// list by dragging an entry with real mouse events.
#include "Form1Fixture.h"

#include <QFile>
#include <QTest>
#include <functional>

namespace culvex {
namespace {

using testing::Form1Fixture;

const QString kResources = QStringLiteral(CULVEX_TEST_DATA "/../../resources");

class PointerTest : public Form1Fixture {
public:
    using Form1Fixture::form;

    void showLoaded() {
        load();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QWindow* window() const { return form->windowHandle(); }
    // Moves the mouse (with whatever buttons QTest holds) to a point of a widget.
    void moveTo(const QWidget* widget, QPoint point) {
        QTest::mouseMove(window(), widget->mapTo(form.get(), point));
    }
    // A point of the widget that none of its children covers.
    static QPoint bareSpot(const QWidget* widget) {
        for (int y = widget->height() - 3; y > 0; y -= 3) {
            for (int x = widget->width() - 3; x > 0; x -= 3) {
                if (widget->childAt(x, y) == nullptr) {
                    return {x, y};
                }
            }
        }
        ADD_FAILURE() << "no bare spot in " << widget->objectName().toStdString();
        return {};
    }
    struct HoverTarget {
        QString name;
        const QWidget* widget;
        QPoint at;
        PointerState expected;
    };
    std::vector<HoverTarget> hoverTargets() const {
        std::vector<HoverTarget> targets;
        for (int n = 1; n <= 11; ++n) {
            const QWidget* button = pushButton(*form, n);
            targets.push_back(
                {button->objectName(), button, button->rect().center(), PointerState::Custom});
        }
        for (int n = 1; n <= 4; ++n) {
            const QWidget* box = frame(*form, n);
            targets.push_back({box->objectName(), box, bareSpot(box), PointerState::Default});
        }
        for (const QWidget* list : {listView1(*form)->viewport(), listView2(*form)->viewport()}) {
            targets.push_back({list->parentWidget()->objectName(), list, list->rect().center(),
                               PointerState::Default});
        }
        targets.push_back({u"Form1"_qs, form.get(), bareSpot(form.get()), PointerState::Default});
        return targets;
    }
    // Hovers over the opposite kind of widget first, so each move has to change the pointer.
    void hoverFromOppositeKind(const HoverTarget& target) {
        if (target.expected == PointerState::Custom) {
            moveTo(form.get(), bareSpot(form.get()));
        } else {
            moveTo(pushButton(*form, 10), pushButton(*form, 10)->rect().center());
        }
        moveTo(target.widget, target.at);
    }
    QPoint rowCentre(int row) const {
        const QTableView* view = listView1(*form);
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    QPoint rowInWindow(int row) const {
        return listView1(*form)->viewport()->mapTo(form.get(), rowCentre(row));
    }
    void fill(const QStringList& paths) { fileListOf(*form).appendAll(paths); }
    // Presses on one entry, moves over the others with the button held, and releases.
    void dragAcross(int from, std::initializer_list<int> over) {
        QTest::mousePress(window(), Qt::LeftButton, {}, rowInWindow(from));
        int last = from;
        for (int row : over) {
            moveWithButtonHeld(row);
            last = row;
        }
        QTest::mouseRelease(window(), Qt::LeftButton, {}, rowInWindow(last));
    }
    void moveWithButtonHeld(int row) { QTest::mouseMove(window(), rowInWindow(row)); }
};

TEST_F(PointerTest, HoverGivesTheHandOverButtonsAndTheDefaultElsewhere) {
    showLoaded();
    for (const HoverTarget& target : hoverTargets()) {
        hoverFromOppositeKind(target);
        EXPECT_EQ(form->pointer(), target.expected) << target.name.toStdString();
    }
}

TEST_F(PointerTest, HoverNeverReplacesTheBusyPointer) {
    showLoaded();
    form->setPointer(PointerState::Busy);
    for (const HoverTarget& target : hoverTargets()) {
        hoverFromOppositeKind(target);
        EXPECT_EQ(form->pointer(), PointerState::Busy) << target.name.toStdString();
    }
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
}

TEST_F(PointerTest, WithoutHandCursorTheButtonsShowTheArrowWithoutMessage) {
    showLoaded();
    moveTo(pushButton(*form, 1), pushButton(*form, 1)->rect().center());
    EXPECT_EQ(form->pointer(), PointerState::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(PointerTest, WithHandCursorTheButtonsShowIt) {
    ASSERT_TRUE(QFile::copy(kResources + u"/HAND-M.CUR"_qs, besideProgram(u"HAND-M.CUR"_qs)));
    showLoaded();
    moveTo(pushButton(*form, 7), pushButton(*form, 7)->rect().center());
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(pushButton(*form, 7)->cursor().shape(), Qt::BitmapCursor);
}

const QStringList kABC{u"A"_qs, u"B"_qs, u"C"_qs};

TEST_F(PointerTest, DraggingTheFirstEntryDownWalksItToTheEnd) {
    showLoaded();
    fill(kABC);
    QTest::mouseClick(window(), Qt::LeftButton, {}, rowInWindow(0));
    dragAcross(0, {1, 2});
    EXPECT_EQ(fileListOf(*form).paths(), (QStringList{u"B"_qs, u"C"_qs, u"A"_qs}));
    EXPECT_EQ(listView1(*form)->selectedRow(), 2);
}

TEST_F(PointerTest, DraggingTheLastEntryUpWalksItToTheTop) {
    showLoaded();
    fill(kABC);
    dragAcross(2, {1, 0});
    EXPECT_EQ(fileListOf(*form).paths(), (QStringList{u"C"_qs, u"A"_qs, u"B"_qs}));
    EXPECT_EQ(listView1(*form)->selectedRow(), 0);
}

TEST_F(PointerTest, MovesThatChangeNothing) {
    const QStringList same{u"X"_qs, u"same"_qs, u"same"_qs};
    const std::vector<std::pair<const char*, std::function<void(PointerTest&)>>> cases = {
        {"press and release without moving", [](PointerTest& t) { t.dragAcross(1, {}); }},
        {"over an equal text", [](PointerTest& t) { t.dragAcross(1, {2}); }},
        {"over the dragged entry itself", [](PointerTest& t) { t.dragAcross(1, {1}); }},
        {"without a held button",
         [](PointerTest& t) {
             QTest::mouseClick(t.window(), Qt::LeftButton, {}, t.rowInWindow(0));
             t.moveTo(listView1(*t.form)->viewport(), t.rowCentre(1));
         }},
    };
    showLoaded();
    for (const auto& [name, act] : cases) {
        fileListOf(*form).clear();
        fill(same);
        act(*this);
        EXPECT_EQ(fileListOf(*form).paths(), same) << name;
    }
}

TEST_F(PointerTest, DraggingNeverChangesTheNumberOfEntries) {
    showLoaded();
    fill({u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs});
    dragAcross(1, {2, 3, 2, 1, 0, 1});
    EXPECT_EQ(fileListOf(*form).count(), 4);
    EXPECT_EQ(fileListOf(*form).paths(), (QStringList{u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs}));
}

TEST_F(PointerTest, PressingAnEntryShowsTheDragCursorUntilRelease) {
    ASSERT_TRUE(QFile::copy(kResources + u"/drag.ico"_qs, besideProgram(u"drag.ico"_qs)));
    showLoaded();
    fill(kABC);
    QWidget* viewport = listView1(*form)->viewport();
    QTest::mousePress(window(), Qt::LeftButton, {}, rowInWindow(0));
    EXPECT_EQ(viewport->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, rowInWindow(0));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace culvex
