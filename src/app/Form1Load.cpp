// Start-up of the main window: skin, hand cursor, sample record, titles, list columns and
// the extraction settings restored from the store.
#include "app/AppSettings.h"
#include "app/CursorFile.h"
#include "app/Form1.h"
#include "app/FormControls.h"
#include "command/ProtectedProcedure.h"
#include "command/Titles.h"
#include "filelist/FileListView.h"
#include "filelist/PathHelpers.h"
#include "filelist/SampleFiles.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace culvex {

namespace {

const int kListColumnWidth = twipsToPixels(7000);

QString readSkinFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error(file.errorString().toStdString());
    }
    return QString::fromUtf8(file.readAll());
}

void showColumn(QTableView& view) { view.horizontalHeader()->show(); }

}  // namespace

void Form1::Form_Load() {
    ProtectedProcedure proc(platform_.dialogs, formLocation(QStringLiteral("Form_Load")));
    proc.step(100, [&] { ApplySkin(); });
    const QString cursorPath = besideProgram(QStringLiteral("HAND-M.CUR"));
    if (proc.test(102, [&] { return FileExists(cursorPath); })) {
        proc.step(104, [&] { handCursor_ = loadCursorFile(cursorPath); });
    }
    for (int label : {108, 128}) {
        if (proc.test(label,
                      [&] { return readSetting(platform_.settings, keys::kSnapshot).isEmpty(); })) {
            proc.step(label, [&] {
                SnapshotSampleFiles(platform_.settings, platform_.yielder, programFolder_);
            });
        }
    }
    proc.step(130, [&] {
        setWindowTitle(productTitle());
        setWindowIcon(QIcon(QStringLiteral(":/culvex/culvex.png")));
        SetApplicationTitle();
    });
    proc.step(132, [&] { showColumn(*listView1_); });
    proc.step(134, [&] { listView1_->setColumnWidth(0, kListColumnWidth); });
    proc.step(136, [&] { showColumn(*listView2_); });
    proc.step(138, [&] { listView2_->setColumnWidth(0, kListColumnWidth); });
    restorePanel(proc);
}

// The panel comes back as the user left it: every key is read first, so that the writes of
// the handlers that the restore fires (a selected separator stores its whole group) do not
// change what the later steps read. Of several selected buttons in one group the last wins.
void Form1::restorePanel(ProtectedProcedure& proc) {
    struct Restore {
        int label;
        QString key;
        std::function<void(const QString&)> assign;
    };
    std::vector<Restore> restores;
    int label = 140;
    for (int n : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
        restores.push_back(
            {label, QStringLiteral("Option%1").arg(n),
             [this, n](const QString& stored) { assignOption(n, toBoolean(stored)); }});
        label += 2;
    }
    for (int n = 1; n <= 5; ++n) {
        restores.push_back({label, QStringLiteral("Text%1").arg(n),
                            [this, n](const QString& stored) { texts_[n]->setText(stored); }});
        label += 2;
    }
    restores.push_back({label, keys::kCheck1,
                        [this](const QString& stored) { assignCheck1(toShortInteger(stored)); }});

    std::vector<std::optional<QString>> stored(restores.size());
    for (std::size_t i = 0; i < restores.size(); ++i) {
        proc.step(restores[i].label,
                  [&] { stored[i] = readSetting(platform_.settings, restores[i].key); });
    }
    for (std::size_t i = 0; i < restores.size(); ++i) {
        if (stored[i]) {
            proc.step(restores[i].label, [&] { restores[i].assign(*stored[i]); });
        }
    }
}

// Selecting a button runs its click behaviour even when it was selected already; clearing
// one runs nothing and may leave its group without a selection.
void Form1::assignOption(int number, bool value) {
    QRadioButton* button = options_[number];
    if (value && button->isChecked()) {
        runOptionClick(number);
    } else if (value) {
        button->setChecked(true);
    } else if (button->isChecked()) {
        QButtonGroup* group = groupOf(number);
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
    }
}

void Form1::assignCheck1(int value) {
    if (value != 0 && value != 1) {
        throw std::invalid_argument("Invalid property value");
    }
    check1_->setChecked(value == 1);
}

void Form1::ApplySkin() {
    const QString path =
        besideProgram(QStringLiteral("x") + QDir::separator() + QStringLiteral("o.cjs"));
    if (!QFileInfo(path).isFile()) {
        return;
    }
    paintBackgrounds(*this, QApplication::palette().color(QPalette::Button));
    // The skin draws the frames itself, over the application's style.
    setFrameStyle(nullptr);
    setStyleSheet(readSkinFile(path));
}

void Form1::SetApplicationTitle() {
    QCoreApplication::setApplicationName(shortTitleOf(productTitle()));
}

}  // namespace culvex
