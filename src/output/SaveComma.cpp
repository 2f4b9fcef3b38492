#include "output/SaveComma.h"

#include "command/ProtectedProcedure.h"
#include "engine/ResultsFormat.h"
#include "engine/TextFileWriter.h"
#include "output/SaveTarget.h"
#include "output/YieldingRows.h"

#include <memory>

namespace culvex {

namespace {

// False when the user asked to stop.
bool writeRows(TextFileWriter& file, const ResultsStore& rows, Yielder& yielder,
               CommandProgress& progress) {
    const std::size_t count = rows.size();
    std::size_t written = 0;
    const WalkProgress shown{progress, 0, static_cast<std::int64_t>(count), true};
    return forEachRowYielding(
               rows, count, yielder, shown,
               [&](std::string_view row) {
                   const bool last = ++written == count;
                   file.writeFormatted([&](std::string& out) { appendCommaLine(out, row, last); });
               }) &&
           sendHeld(file, progress);
}

}  // namespace

// A row that can no longer be read ends the save after one report, and a stop ends it,
// without putting the file in place.
SaveEnd SaveListviewAsCommaDelimToFile(const ResultsStore& rows, const QString& target,
                                       Dialogs& dialogs, Yielder& yielder,
                                       CommandProgress& progress) {
    ProtectedProcedure proc(dialogs,
                            locationText(QStringLiteral("Culvexor"), QStringLiteral("SaveComma"),
                                         QStringLiteral("SaveListviewAsCommaDelimToFile")));
    bool overwrite = false;
    if (proc.test(100, [&] { return targetExists(target); })) {
        proc.step(102, [&] { overwrite = confirmOverwrite(dialogs, target); });
    } else {
        overwrite = true;
    }
    if (proc.test(106, [&] { return !overwrite; })) {
        return SaveEnd::Ended;
    }
    const ProgressScope shown(progress, savingResults(), CommandProgress::Counted::Rows);
    std::shared_ptr<TextFileWriter> file;
    if (!proc.step(120, [&] { file = openTarget(target, yielder, progress); })) {
        return SaveEnd::Ended;
    }
    bool written = false;
    if (!proc.step(150, [&] { written = writeRows(*file, rows, yielder, progress); })) {
        return SaveEnd::Ended;
    }
    if (!written) {
        return SaveEnd::Stopped;
    }
    proc.step(182, [&] { putInPlace(file); });
    return SaveEnd::Ended;
}

// The window is busy from before the overwrite question until the save ends.
void saveCommaText(const ResultsStore& rows, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton2_Click")));
    const QString target = askSaveTarget(proc, context.dialogState);
    if (proc.test(116, [&] { return target.isEmpty(); })) {
        return;
    }
    proc.step(118, [&] { context.pointer.setPointer(PointerState::Busy); });
    SaveEnd end = SaveEnd::Ended;
    proc.step(120, [&] {
        end = SaveListviewAsCommaDelimToFile(rows, target, context.dialogs, context.yielder,
                                             context.progress);
    });
    proc.step(122, [&] { endSave(context, end); });
}

}  // namespace culvex
