#pragma once

#include "platform/FolderReader.h"

namespace culvex {

class FileListModel;
struct CommandContext;

// "Add All CSV File(s) In Folder": asks for an extension and a folder, then appends every
// matching file of the folder and all its sub-folders, breadth-first. The extension and the
// folder are remembered ("Extension", "LastFolder"); the window is busy during the scan.
void scanFolder(FileListModel& list, const CommandContext& context,
                FolderReader& reader = systemFolderReader());

}  // namespace culvex
