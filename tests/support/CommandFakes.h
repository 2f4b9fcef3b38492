#pragma once

#include "FakePlatform.h"
#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "command/CommandContext.h"

namespace culvex::testing {

// The scripted services every command shares. A fixture derives from it to script and
// observe them by name and hands context() to the command under test.
struct CommandFakes {
    ScriptedDialogs dialogs;
    ScriptedYielder yielder;
    ScriptedProgress progress;
    RecordingPointer pointer;
    CommonDialogState dialogState;
    MemorySettingsStore settings;

    CommandContext context(const QString& programFolder = {}) {
        return {dialogs, yielder, progress, pointer, dialogState, settings, programFolder};
    }
};

}  // namespace culvex::testing
