#pragma once

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/ScreenMouse.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include "platform/Yielder.h"

namespace culvex {

// The platform services a command may use, handed to it by the main window (real ones)
// or by a test (scripted fakes).
struct Platform {
    Dialogs& dialogs;
    SettingsStore& settings;
    Clipboard& clipboard;
    Shell& shell;
    Yielder& yielder;
    const ScreenMouse& mouse;
    Spreadsheet& spreadsheet;
};

}  // namespace culvex
