#pragma once

#include "FakePlatform.h"
#include "MemorySettingsStore.h"
#include "QtTestApplication.h"
#include "ScriptedDialogs.h"
#include "ScriptedSpreadsheet.h"
#include "app/Form1.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "output/ResultsModel.h"
#include "output/ResultsView.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <memory>

namespace culvex {

// The window's controls found by their names, as the window's user sees them.
template <class Control>
Control* named(const QWidget& form, const QString& name) {
    return form.findChild<Control*>(name, Qt::FindChildrenRecursively);
}
inline QPushButton* pushButton(const QWidget& form, int number) {
    return named<QPushButton>(form, QStringLiteral("PushButton%1").arg(number));
}
inline QRadioButton* option(const QWidget& form, int number) {
    return named<QRadioButton>(form, QStringLiteral("Option%1").arg(number));
}
inline QLineEdit* textBox(const QWidget& form, int number) {
    return named<QLineEdit>(form, QStringLiteral("Text%1").arg(number));
}
inline QGroupBox* frame(const QWidget& form, int number) {
    return named<QGroupBox>(form, QStringLiteral("Frame%1").arg(number));
}
inline QCheckBox* check1(const QWidget& form) {
    return named<QCheckBox>(form, QStringLiteral("Check1"));
}
inline FileListView* listView1(const QWidget& form) {
    return named<FileListView>(form, QStringLiteral("ListView1"));
}
inline ResultsView* listView2(const QWidget& form) {
    return named<ResultsView>(form, QStringLiteral("ListView2"));
}
// The models behind the two lists.
inline FileListModel& fileListOf(const QWidget& form) {
    return *qobject_cast<FileListModel*>(listView1(form)->model());
}
inline ResultsModel& resultsOf(const QWidget& form) {
    return *qobject_cast<ResultsModel*>(listView2(form)->model());
}
// The image the window shows for its custom pointer.
inline QCursor customPointer(Form1& form) {
    form.setPointer(PointerState::Custom);
    return form.cursor();
}

}  // namespace culvex

namespace culvex::testing {

// A main window over scripted platform fakes, with an empty program folder of its own.
class Form1Fixture : public ::testing::Test {
protected:
    Form1Fixture() { ensureQtApplication(); }

    Form1& create() {
        form = std::make_unique<Form1>(platform, programFolder.path());
        return *form;
    }
    Form1& load() {
        create().Form_Load();
        return *form;
    }
    void store(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [key, value] : values) {
            settings.values.insert(QString::fromUtf8(key), QString::fromUtf8(value));
        }
    }
    QString besideProgram(const QString& name) const { return programFolder.filePath(name); }

    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    FakeClipboard clipboard;
    FakeShell shell;
    ScriptedYielder yielder;
    FixedMouse mouse;
    ScriptedSpreadsheet spreadsheet;
    Platform platform{dialogs, settings, clipboard, shell, yielder, mouse, spreadsheet};
    QTemporaryDir programFolder;
    std::unique_ptr<Form1> form;
};

}  // namespace culvex::testing
