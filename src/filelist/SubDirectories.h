#pragma once

#include "filelist/AddFolder.h"

namespace culvex {

// Appends to the directory list (entries end in a separator) the sub-folders of its
// entries, breadth-first: all sub-folders of the entries in listing order, then theirs,
// and so on. Folders whose names are unsafe, hidden system folders, and folders already
// reached by another path (links) are left out. An entry whose folder is gone or may not
// be read is removed; any other failure is reported and the scan goes on.
void GetSubDirectories2016(QStringList& directories, bool recurse,
                           const FolderScanServices& services);

}  // namespace culvex
