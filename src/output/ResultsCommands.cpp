#include "output/ResultsCommands.h"

#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "output/ClipboardCopy.h"

#include <QItemSelectionModel>
#include <optional>

namespace culvex {

QString copiedMessage() {
    return QStringLiteral(
        "Results have been copied to the clipboard.\r\rClick a text area where you normally "
        "type and press Ctrl+V to paste the clipboard.");
}

QString notCopiedMessage() {
    return QStringLiteral(
        "The results could not be copied to the clipboard.\r\rAnother program may be using "
        "the clipboard. Please try again.");
}

// After a row could not be read (the results were cleared or changed during the copy),
// nothing was copied, and the clipboard was never at fault.
QString resultsChangedMessage() {
    return QStringLiteral(
        "The results could not be copied to the clipboard.\r\rThe results changed while they "
        "were being copied. Please try again.");
}

QString copyStoppedMessage() { return QStringLiteral("The results were not copied."); }

namespace {

QString copyOutcomeMessage(CopyOutcome outcome) {
    switch (outcome) {
        case CopyOutcome::ClipboardRefused:
            return notCopiedMessage();
        case CopyOutcome::Stopped:
            return copyStoppedMessage();
        case CopyOutcome::NothingToCopy:
        case CopyOutcome::Copied:
            break;
    }
    return copiedMessage();
}

}  // namespace

// An empty list copies nothing and still gets the notice that the copy is done; a copy
// that failed or was stopped says so instead. The rows are copied as the list shows them.
void copyResults(const ResultsModel& results, Clipboard& clipboard, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton8_Click")));
    std::optional<CopyOutcome> outcome;
    {
        const ProgressScope progress(context.progress, QStringLiteral("Copying results"),
                                     CommandProgress::Counted::Rows);
        proc.step(106, [&] {
            outcome = CopyListviewToClipboard(results.store(), context.yielder, context.progress,
                                              clipboard, results.encoding());
        });
    }
    proc.step(108, [&] {
        showPlainMessage(context.dialogs,
                         outcome ? copyOutcomeMessage(*outcome) : resultsChangedMessage());
    });
}

void clearResults(ResultsModel& results, Dialogs& dialogs) {
    ProtectedProcedure proc(dialogs, formLocation(QStringLiteral("PushButton9_Click")));
    proc.step(100, [&] { results.clear(); });
}

void removeDoubleClickedResult(ResultsModel& results, const QItemSelectionModel& selection,
                               const WindowPointer& pointer) {
    if (pointer.isBusy() || results.rowCount() == 0) {
        return;
    }
    const QModelIndexList selected = selection.selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    results.removeAt(selected.first().row());
}

}  // namespace culvex
