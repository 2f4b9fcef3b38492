// The main window's command buttons: each hands its work to the command that owns it.
#include "app/Form1.h"
#include "app/Help.h"
#include "filelist/AddFilesCommand.h"
#include "filelist/FolderScanCommand.h"
#include "filelist/ListEditing.h"
#include "filelist/PathHelpers.h"
#include "filelist/SampleFiles.h"
#include "output/ClipboardCopy.h"
#include "output/ResultsCommands.h"
#include "output/ResultsView.h"
#include "output/SaveComma.h"
#include "output/SaveList.h"
#include "output/SpreadsheetExport.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QPushButton>

namespace culvex {

void Form1::connectCommands() {
    const std::pair<int, void (Form1::*)()> handlers[] = {
        {1, &Form1::PushButton1_Click},   {2, &Form1::PushButton2_Click},
        {3, &Form1::PushButton3_Click},   {4, &Form1::PushButton4_Click},
        {5, &Form1::PushButton5_Click},   {6, &Form1::PushButton6_Click},
        {7, &Form1::PushButton7_Click},   {8, &Form1::PushButton8_Click},
        {9, &Form1::PushButton9_Click},   {10, &Form1::PushButton10_Click},
        {11, &Form1::PushButton11_Click},
    };
    for (const auto& [number, handler] : handlers) {
        connect(pushButtons_[number], &QPushButton::clicked, this, [this, handler = handler] {
            if (runPendingNumericTest()) {
                (this->*handler)();
            }
        });
    }
    connect(listView2_, &QAbstractItemView::doubleClicked, this, &Form1::ListView2_DblClick);
    connect(listView2_, &ResultsView::copyRequested, this, [this](int row) {
        copyRow(results_->store().row(static_cast<std::size_t>(row)), platform_.clipboard,
                results_->encoding());
    });
    connectEncodingMenu();
}

void Form1::PushButton1_Click() { addFiles(*fileList_, context_); }

// A folder named on the command line is scanned as a dropped folder is; the other names
// are added as they are.
void Form1::addGivenFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        if (fs::isFolder(path)) {
            ListView1_OLEDragDrop({CleanPathSlashes(QFileInfo(path).absoluteFilePath())});
        } else {
            culvex::addGivenFiles(*fileList_, {path});
        }
    }
}

void Form1::PushButton2_Click() { saveCommaText(results_->store(), context_); }

void Form1::PushButton3_Click() { clearFileList(*fileList_, *this, platform_.dialogs); }

void Form1::PushButton4_Click() { scanFolder(*fileList_, context_); }

void Form1::PushButton5_Click() { exportToSpreadsheet(*results_, platform_.spreadsheet, context_); }

void Form1::PushButton6_Click() { saveSpacedText(results_->store(), context_); }

void Form1::PushButton7_Click() { extract_.run(*fileList_, *this, *results_); }

void Form1::PushButton8_Click() { copyResults(*results_, platform_.clipboard, context_); }

void Form1::PushButton9_Click() { clearResults(*results_, platform_.dialogs); }

void Form1::PushButton10_Click() { showHelp(platform_.dialogs); }

void Form1::PushButton11_Click() { loadSamples(*fileList_, platform_.shell, context_); }

void Form1::ListView2_DblClick() {
    removeDoubleClickedResult(*results_, *listView2_->selectionModel(), *this);
}

}  // namespace culvex
