#pragma once

namespace culvex {

class Dialogs;
class FileListModel;
class WindowPointer;

// Removing entries of the file list. Every command does nothing while the window is busy
// (a scan, an extraction or a save is walking the list), on an empty list, or when no
// entry is selected (selectedRow -1).

// A key pressed in the file list (a Qt::Key): Delete removes the selected entry.
void removeOnDeleteKey(FileListModel& list, int selectedRow, const WindowPointer& pointer, int key);

// A double-click in the file list removes the selected entry.
void removeDoubleClickedFile(FileListModel& list, int selectedRow, const WindowPointer& pointer);

// "Clear List": empties the file list unless the window is busy.
void clearFileList(FileListModel& list, const WindowPointer& pointer, Dialogs& dialogs);

}  // namespace culvex
