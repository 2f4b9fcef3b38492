#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

namespace culvex {

class Dialogs;
class FileListModel;
class FolderReader;
class CommandProgress;
class Yielder;

// What a folder scan needs: the folder objects it walks, the yield that keeps the window
// live, the progress it shows (whose Stop ends it at its next yield), and the dialogs for
// the scan's own error reports.
struct FolderScanServices {
    FolderReader& reader;
    Yielder& yielder;
    CommandProgress& progress;
    Dialogs& dialogs;
};

// What the progress window says while folders are scanned.
QString scanningFolders();

// The folder browser: the chosen folder without a trailing separator, or empty text when
// the user cancels.
QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& startFolder);

// True when the folder name holds a control character (codes below 32 or from 127 to 159)
// or a "?". Names are UTF-8 throughout, so every other character is safe.
bool HasUnsafeChars(const QString& name);

// The bare names of the openable files of the folder that match the pattern ("*.csv",
// "*.*"), hidden files included, in the folder's listing order.
QStringList ListFilesInFolder(const QString& folder, const QString& pattern);

// Appends to the list, folder by folder in directory-list order, every listed file of the
// folders (entries end in a separator) that matches the pattern, except names beginning
// with "~" and files whose attribute word is exactly hidden + archive. A failure on one
// file goes to onFailure and the file is skipped. A stop asked for while it yields
// keeps the files appended so far and appends no more.
void appendFolderFiles(FileListModel& list, const QStringList& directories, const QString& pattern,
                       const FolderScanServices& services,
                       const std::function<void(const std::exception_ptr&)>& onFailure);

}  // namespace culvex
