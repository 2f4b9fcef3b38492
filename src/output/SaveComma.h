#pragma once

#include "command/CommandContext.h"
#include "engine/ResultsStore.h"
#include "output/SaveTarget.h"
#include "platform/Dialogs.h"
#include "platform/Yielder.h"

namespace culvex {

// Writes the results list as one comma-separated list: each row on its own line, every
// line but the last ending in a comma, every line ending in CR LF; no rows give an empty
// file. Asks before replacing an existing file and reports its own failures; a save that
// fails or is stopped leaves an existing file of that name as it was.
SaveEnd SaveListviewAsCommaDelimToFile(const ResultsStore& rows, const QString& target,
                                       Dialogs& dialogs, Yielder& yielder,
                                       CommandProgress& progress);

// "Save As Comma Delim. Text File" (PushButton2).
void saveCommaText(const ResultsStore& rows, const CommandContext& context);

}  // namespace culvex
