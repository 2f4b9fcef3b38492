// Start-up of the main window: skin, hand cursor, sample record, titles and list columns;
// the settings panel restores itself (Form1Panel.cpp).
#include "app/CursorFile.h"
#include "app/Form1.h"
#include "app/FormControls.h"
#include "command/AppSettings.h"
#include "command/ProtectedProcedure.h"
#include "command/Titles.h"
#include "filelist/FileListView.h"
#include "filelist/PathHelpers.h"
#include "filelist/SampleFiles.h"
#include "output/ResultsView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <stdexcept>

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

void showColumn(QHeaderView& column) { column.show(); }

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
                SnapshotSampleFiles(platform_.settings, platform_.yielder, context_.programFolder);
            });
        }
    }
    proc.step(130, [&] {
        setWindowTitle(productTitle());
        setWindowIcon(QIcon(QStringLiteral(":/culvex/culvex.png")));
        SetApplicationTitle();
    });
    proc.step(132, [&] { showColumn(*listView1_->horizontalHeader()); });
    proc.step(134, [&] { listView1_->horizontalHeader()->resizeSection(0, kListColumnWidth); });
    proc.step(136, [&] { showColumn(*listView2_->horizontalHeader()); });
    proc.step(138, [&] { listView2_->horizontalHeader()->resizeSection(0, kListColumnWidth); });
    restorePanel(proc);
    restoreEncoding();
    restoreQuotedFields();
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
