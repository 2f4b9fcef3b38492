#pragma once

#include "command/WindowPointer.h"
#include "platform/CommandProgress.h"
#include "platform/CommonDialogState.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "platform/Yielder.h"

#include <QString>

namespace culvex {

// What the window's commands share: the dialogs, the yielder that keeps the window live,
// the progress a long command shows (with its Stop), the window's pointer, the file
// dialog's remembered name, the settings and the program's folder. The window builds it once; a
// command that needs one more service (the clipboard, the shell, the spreadsheet) takes it as its
// own argument.
struct CommandContext {
    Dialogs& dialogs;
    Yielder& yielder;
    CommandProgress& progress;
    WindowPointer& pointer;
    CommonDialogState& dialogState;
    SettingsStore& settings;
    QString programFolder;
};

}  // namespace culvex
