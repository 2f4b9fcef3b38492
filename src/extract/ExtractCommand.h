#pragma once

#include "command/ProtectedProcedure.h"
#include "command/WindowPointer.h"
#include "engine/ResultsSink.h"
#include "engine/Separator.h"
#include "extract/ExtractionControls.h"
#include "filelist/FileEntries.h"
#include "platform/Dialogs.h"
#include "platform/Yielder.h"

#include <set>

namespace culvex {

// "Extract Columns From File(s)" (PushButton7_Click): checks the settings, then cuts
// every line of every listed file into columns and appends the picked non-empty columns,
// without their outer spaces, to the results. The window stays live during a run; a
// second click while it runs does nothing.
class ExtractCommand {
public:
    ExtractCommand(Dialogs& dialogs, Yielder& yielder, WindowPointer& pointer);

    void run(const FileEntries& files, const ExtractionControls& controls, ResultsSink& results);
    bool isBusy() const { return busy_; }

private:
    struct Run;

    void extractAll(ProtectedProcedure& proc, const FileEntries& files,
                    const ExtractionControls& controls, ResultsSink& results);
    Separator chooseSeparatorSteps(ProtectedProcedure& proc, const ExtractionControls& controls);
    void extractFile(Run& run, int position);

    Dialogs& dialogs_;
    Yielder& yielder_;
    WindowPointer& pointer_;
    bool busy_ = false;
};

}  // namespace culvex
