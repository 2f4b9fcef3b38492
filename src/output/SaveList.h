#pragma once

#include "command/CommandContext.h"
#include "engine/ResultsStore.h"
#include "output/SaveTarget.h"
#include "platform/Dialogs.h"
#include "platform/Yielder.h"

namespace culvex {

// Writes the results list as a table: the header "Results" and every row, each padded
// with spaces to the width of the longest of them (at least 7) and followed by a TAB,
// every line ending in CR LF. Row bytes are written as stored. Reports its own failures;
// a save that fails or is stopped leaves an existing file of that name as it was.
SaveEnd SaveListviewProperlySpaced(const ResultsStore& rows, const QString& target,
                                   Dialogs& dialogs, Yielder& yielder, CommandProgress& progress);

// "Save Results As Text File" (PushButton6).
void saveSpacedText(const ResultsStore& rows, const CommandContext& context);

}  // namespace culvex
