#pragma once

#include "command/CommandContext.h"
#include "output/ResultsModel.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"

class QItemSelectionModel;

namespace culvex {

// "Copy Results To Clipboard" (PushButton8).
void copyResults(const ResultsModel& results, Clipboard& clipboard, const CommandContext& context);

// "Clear Results" (PushButton9): empties the results list at once, even while a long
// command runs.
void clearResults(ResultsModel& results, Dialogs& dialogs);

// Double-click in the results list (ListView2): removes the selected row, unless the
// window is busy.
void removeDoubleClickedResult(ResultsModel& results, const QItemSelectionModel& selection,
                               const WindowPointer& pointer);

QString copiedMessage();
QString notCopiedMessage();
QString copyStoppedMessage();
QString resultsChangedMessage();

}  // namespace culvex
