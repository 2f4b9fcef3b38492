#include "filelist/ListEditing.h"

#include "command/ProtectedProcedure.h"
#include "command/WindowPointer.h"
#include "filelist/FileListModel.h"

namespace culvex {

namespace {

void removeSelectedEntry(FileListModel& list, int selectedRow, const WindowPointer& pointer) {
    if (pointer.isBusy() || list.count() == 0 || selectedRow < 0 || selectedRow >= list.count()) {
        return;
    }
    list.removeAt(selectedRow);
}

}  // namespace

void removeOnDeleteKey(FileListModel& list, int selectedRow, const WindowPointer& pointer,
                       int key) {
    if (key == Qt::Key_Delete) {
        removeSelectedEntry(list, selectedRow, pointer);
    }
}

void removeDoubleClickedFile(FileListModel& list, int selectedRow, const WindowPointer& pointer) {
    removeSelectedEntry(list, selectedRow, pointer);
}

void clearFileList(FileListModel& list, const WindowPointer& pointer, Dialogs& dialogs) {
    ProtectedProcedure proc(dialogs, formLocation(QStringLiteral("PushButton3_Click")));
    proc.step(100, [&] {
        if (!pointer.isBusy()) {
            list.clear();
        }
    });
}

}  // namespace culvex
