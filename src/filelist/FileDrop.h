#pragma once

#include <QStringList>

class QMimeData;

namespace culvex {

class FileListModel;
struct FolderScanServices;

// True when the dragged data carries a list of local files or folders.
bool offersFileList(const QMimeData& data);

// The local paths of the dragged data, in the drag source's order.
QStringList droppedPaths(const QMimeData& data);

// A drop on the file list: each file is appended exactly as dropped; each folder is scanned
// with all its sub-folders for every file (not "~" names, not hidden + archive files), one
// dropped folder after the other. No setting is read or written and the window does not
// become busy. A stop asked for while it yields keeps the entries added so far.
void dropOnFileList(FileListModel& list, const QStringList& paths,
                    const FolderScanServices& services);

}  // namespace culvex
