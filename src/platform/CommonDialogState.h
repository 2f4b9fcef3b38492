#pragma once

#include <QString>

namespace culvex {

// The main window's one file dialog is shared by Add Files and the two saves: the file
// name it last held carries over from one use to the next.
struct CommonDialogState {
    QString fileName;
};

}  // namespace culvex
