#pragma once

#include "FakePlatform.h"
#include "MemorySettingsStore.h"
#include "QtTestApplication.h"
#include "ScriptedDialogs.h"
#include "ScriptedSpreadsheet.h"
#include "app/Form1.h"
#include "filelist/FileListView.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

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
