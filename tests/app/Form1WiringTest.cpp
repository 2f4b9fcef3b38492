// Each command button, key, double-click and drop reaches its command when the user acts on
// the real widgets of the main window.
#include "Form1Fixture.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <functional>

namespace culvex {
namespace {

using testing::Form1Fixture;

// Events through the window, so that Qt routes them to the widget under the pointer.
class ShownForm1Fixture : public Form1Fixture {
public:
    using Form1Fixture::clipboard;
    using Form1Fixture::dialogs;
    using Form1Fixture::form;
    using Form1Fixture::spreadsheet;

    Form1& showLoaded() {
        load();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }
    QWindow* window() const { return form->windowHandle(); }
    QPoint inWindow(const QWidget* widget, QPoint point) const {
        return widget->mapTo(form.get(), point);
    }
    void click(const QWidget* widget) {
        QTest::mouseClick(window(), Qt::LeftButton, {}, inWindow(widget, widget->rect().center()));
    }
    QPoint rowCentre(const QAbstractItemView* view, int row) const {
        return inWindow(view->viewport(), view->visualRect(view->model()->index(row, 0)).center());
    }
    QString savedPath() const { return besideProgram(u"saved.txt"_qs); }
    void fillFileList(const QStringList& paths) { fileListOf(*form).appendAll(paths); }
    void fillResults(std::initializer_list<const char*> rows) {
        for (const char* row : rows) {
            resultsOf(*form).append(row);
        }
        resultsOf(*form).publish();
    }
};

struct ButtonCase {
    int button;
    std::function<void(ShownForm1Fixture&)> arrange;
    std::function<void(ShownForm1Fixture&)> verify;
};

void PrintTo(const ButtonCase& button, std::ostream* out) { *out << "PushButton" << button.button; }

class ButtonWiringTest : public ShownForm1Fixture,
                         public ::testing::WithParamInterface<ButtonCase> {};

template <class Request>
std::vector<Request> requestsOf(const testing::ScriptedDialogs& dialogs) {
    std::vector<Request> found;
    for (const auto& request : dialogs.requests) {
        if (const auto* typed = std::get_if<Request>(&request)) {
            found.push_back(*typed);
        }
    }
    return found;
}

void noArrangement(ShownForm1Fixture&) {}

// The two writers answer the same save dialog; the file's bytes tell them apart.
void saveTwoRows(ShownForm1Fixture& f) {
    f.fillResults({"a", "b"});
    f.dialogs.saveAnswers.push_back(f.savedPath());
}

std::function<void(ShownForm1Fixture&)> expectSaved(const QByteArray& bytes) {
    return [bytes](ShownForm1Fixture& f) {
        const auto saves = requestsOf<SaveFileRequest>(f.dialogs);
        ASSERT_EQ(saves.size(), 1u);
        EXPECT_EQ(saves[0].title, u"Save"_qs);
        QFile saved(f.savedPath());
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), bytes);
    };
}

const ButtonCase kButtonCases[] = {
    {1, noArrangement,
     [](ShownForm1Fixture& f) {
         const auto opens = requestsOf<OpenFilesRequest>(f.dialogs);
         ASSERT_EQ(opens.size(), 1u);
         EXPECT_EQ(opens[0].title, u"Add File(s) - Hold Ctrl to select multiple files"_qs);
     }},
    {2, saveTwoRows, expectSaved("a,\r\nb\r\n")},
    {3,
     [](ShownForm1Fixture& f) {
         f.fillFileList({u"A"_qs, u"B"_qs});
     },
     [](ShownForm1Fixture& f) { EXPECT_EQ(fileListOf(*f.form).count(), 0); }},
    {4, noArrangement,
     [](ShownForm1Fixture& f) {
         const auto inputs = requestsOf<InputRequest>(f.dialogs);
         ASSERT_EQ(inputs.size(), 1u);
         EXPECT_TRUE(inputs[0].prompt.startsWith(u"Enter file extension to load:"_qs));
     }},
    {5, [](ShownForm1Fixture& f) { f.fillResults({"row"}); },
     [](ShownForm1Fixture& f) { EXPECT_TRUE(f.spreadsheet.calls.contains(u"start"_qs)); }},
    {6, saveTwoRows, expectSaved("Results\t\r\na      \t\r\nb      \t\r\n")},
    {7, noArrangement,
     [](ShownForm1Fixture& f) {
         EXPECT_EQ(f.dialogs.messageTexts(), QStringList{u"No files added."_qs});
     }},
    {8,
     [](ShownForm1Fixture& f) {
         f.fillResults({"first", "second"});
     },
     [](ShownForm1Fixture& f) {
         const QString copied = f.clipboard.text;
         EXPECT_TRUE(copied.contains(u"first"_qs) && copied.contains(u"second"_qs))
             << copied.toStdString();
     }},
    {9,
     [](ShownForm1Fixture& f) {
         f.fillResults({"first", "second"});
     },
     [](ShownForm1Fixture& f) { EXPECT_EQ(resultsOf(*f.form).rowCount(), 0); }},
    {10, noArrangement,
     [](ShownForm1Fixture& f) {
         const auto messages = f.dialogs.messages();
         ASSERT_EQ(messages.size(), 1u);
         EXPECT_TRUE(
             messages[0].text.startsWith(u"Questions? Please contact Team Quillbrook at "_qs));
         EXPECT_EQ(messages[0].caption, u"Culvexa"_qs);
     }},
    {11, [](ShownForm1Fixture& f) { f.dialogs.messageAnswers.push_back(MessageAnswer::No); },
     [](ShownForm1Fixture& f) {
         const auto messages = f.dialogs.messages();
         ASSERT_FALSE(messages.empty());
         EXPECT_EQ(messages.back().buttons, MessageButtons::YesNo);
     }},
};

TEST_P(ButtonWiringTest, ClickingTheButtonRunsItsCommand) {
    const ButtonCase& button = GetParam();
    showLoaded();
    dialogs.requests.clear();
    button.arrange(*this);
    click(pushButton(*form, button.button));
    button.verify(*this);
}

INSTANTIATE_TEST_SUITE_P(EveryButton, ButtonWiringTest, ::testing::ValuesIn(kButtonCases),
                         [](const auto& info) {
                             return "PushButton" + std::to_string(info.param.button);
                         });

using ListEditingWiringTest = ShownForm1Fixture;

const QStringList kABC{u"A"_qs, u"B"_qs, u"C"_qs};

TEST_F(ListEditingWiringTest, DeleteKeyRemovesTheSelectedFileEntry) {
    showLoaded();
    fillFileList(kABC);
    click(listView1(*form)->viewport());
    listView1(*form)->selectRow(1);
    QTest::keyClick(listView1(*form), Qt::Key_Delete);
    EXPECT_EQ(fileListOf(*form).paths(), (QStringList{u"A"_qs, u"C"_qs}));
}

TEST_F(ListEditingWiringTest, DoubleClickRemovesTheFileEntryUnderThePointer) {
    showLoaded();
    fillFileList(kABC);
    QTest::mouseDClick(window(), Qt::LeftButton, {}, rowCentre(listView1(*form), 1));
    EXPECT_EQ(fileListOf(*form).paths(), (QStringList{u"A"_qs, u"C"_qs}));
}

TEST_F(ListEditingWiringTest, DoubleClickRemovesTheResultRowUnderThePointer) {
    showLoaded();
    fillResults({"first", "second", "third"});
    QTest::mouseDClick(window(), Qt::LeftButton, {}, rowCentre(listView2(*form), 0));
    ASSERT_EQ(resultsOf(*form).rowCount(), 2);
    EXPECT_EQ(resultsOf(*form).index(0, 0).data().toString(), u"second"_qs);
}

TEST_F(ListEditingWiringTest, NothingIsRemovedWhileBusy) {
    showLoaded();
    fillFileList(kABC);
    fillResults({"first", "second"});
    listView1(*form)->selectRow(1);
    form->setPointer(PointerState::Busy);
    QTest::keyClick(listView1(*form), Qt::Key_Delete);
    QTest::mouseDClick(window(), Qt::LeftButton, {}, rowCentre(listView1(*form), 1));
    QTest::mouseDClick(window(), Qt::LeftButton, {}, rowCentre(listView2(*form), 0));
    EXPECT_EQ(fileListOf(*form).paths(), kABC);
    EXPECT_EQ(resultsOf(*form).rowCount(), 2);
}

TEST_F(ListEditingWiringTest, DroppedLocalFilesAreAppended) {
    showLoaded();
    fillFileList({u"A"_qs});
    QStringList dropped;
    QList<QUrl> urls;
    for (const char* name : {"one.csv", "two.txt"}) {
        const QString path = besideProgram(QString::fromUtf8(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        dropped << path;
        urls << QUrl::fromLocalFile(path);
    }
    QMimeData data;
    data.setUrls(urls);
    QWidget* viewport = listView1(*form)->viewport();
    const QPointF at = viewport->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(fileListOf(*form).paths(), QStringList{u"A"_qs} + dropped);
}

// As `culvex FOLDER FILE` gives them: the folder is scanned as a dropped folder is.
TEST_F(ListEditingWiringTest, AFolderGivenOnTheCommandLineIsScannedLikeADroppedOne) {
    showLoaded();
    const QString folder = besideProgram(u"given"_qs);
    ASSERT_TRUE(QDir().mkpath(folder + u"/sub"_qs));
    for (const QString& name : {u"/a.csv"_qs, u"/sub/b.txt"_qs}) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString file = besideProgram(u"one.csv"_qs);
    form->addGivenFiles({folder, file});
    const QStringList paths = fileListOf(*form).paths();
    EXPECT_TRUE(paths.contains(folder + u"/a.csv"_qs)) << paths.join(u' ').toStdString();
    EXPECT_TRUE(paths.contains(folder + u"/sub/b.txt"_qs)) << paths.join(u' ').toStdString();
    EXPECT_FALSE(paths.contains(folder));
    EXPECT_EQ(paths.last(), file);
}

TEST_F(ListEditingWiringTest, DropsWithoutLocalFilesAreRefused) {
    showLoaded();
    QMimeData data;
    data.setText(u"just text"_qs);
    QWidget* viewport = listView1(*form)->viewport();
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(fileListOf(*form).count(), 0);
}

}  // namespace
}  // namespace culvex
