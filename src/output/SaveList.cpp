#include "output/SaveList.h"

#include "command/ProtectedProcedure.h"
#include "engine/ResultsFormat.h"
#include "engine/TextFileWriter.h"
#include "output/SaveTarget.h"
#include "output/YieldingRows.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace culvex {

namespace {

// The bar counts the measuring and the writing pass as one: each row twice.
WalkProgress measuring(CommandProgress& progress, std::size_t count) {
    return {progress, 0, 2 * static_cast<std::int64_t>(count), false};
}

WalkProgress writing(CommandProgress& progress, std::size_t count) {
    const auto total = 2 * static_cast<std::int64_t>(count);
    return {progress, total / 2, total, true};
}

// Nothing when the user asked to stop.
std::optional<std::size_t> columnWidth(const ResultsStore& rows, std::size_t count,
                                       Yielder& yielder, CommandProgress& progress) {
    std::size_t longest = 0;
    if (!forEachRowYielding(
            rows, count, yielder, measuring(progress, count),
            [&](std::string_view row) { longest = std::max(longest, row.size()); })) {
        return std::nullopt;
    }
    return spacedWidth(longest);
}

void writePadded(TextFileWriter& file, std::string_view value, std::size_t width) {
    file.writeFormatted([&](std::string& out) { appendSpacedLine(out, value, width); });
}

bool writeRows(TextFileWriter& file, const ResultsStore& rows, std::size_t count, std::size_t width,
               Yielder& yielder, CommandProgress& progress) {
    return forEachRowYielding(
               rows, count, yielder, writing(progress, count),
               [&](std::string_view row) { writePadded(file, row, width); }, width) &&
           sendHeld(file, progress);
}

}  // namespace

// The row count is taken once, so rows that a running extraction appends meanwhile are
// neither measured nor written; a row put in place of a cleared one and longer than the
// width measured is written without padding. A row that can no longer be read, and a stop,
// end the save without putting the file in place.
SaveEnd SaveListviewProperlySpaced(const ResultsStore& rows, const QString& target,
                                   Dialogs& dialogs, Yielder& yielder, CommandProgress& progress) {
    ProtectedProcedure proc(dialogs,
                            locationText(QStringLiteral("Culvexor"), QStringLiteral("SaveList"),
                                         QStringLiteral("SaveListviewProperlySpaced")));
    const ProgressScope shown(progress, savingResults(), CommandProgress::Counted::Rows);
    const std::size_t count = rows.size();
    std::optional<std::size_t> width;
    if (!proc.step(120, [&] { width = columnWidth(rows, count, yielder, progress); })) {
        return SaveEnd::Ended;
    }
    if (!width) {
        return SaveEnd::Stopped;
    }
    std::shared_ptr<TextFileWriter> file;
    if (!proc.step(156, [&] { file = openTarget(target, yielder, progress); })) {
        return SaveEnd::Ended;
    }
    proc.step(170, [&] {
        yielder.yield();
        writePadded(*file, kSpacedHeader, *width);
    });
    bool written = false;
    if (!proc.step(190,
                   [&] { written = writeRows(*file, rows, count, *width, yielder, progress); })) {
        return SaveEnd::Ended;
    }
    if (!written) {
        return SaveEnd::Stopped;
    }
    proc.step(232, [&] { putInPlace(file); });
    return SaveEnd::Ended;
}

void saveSpacedText(const ResultsStore& rows, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton6_Click")));
    const QString target = askSaveTarget(proc, context.dialogState);
    if (proc.test(116, [&] { return target.isEmpty(); })) {
        return;
    }
    bool overwrite = false;
    if (proc.test(118, [&] { return targetExists(target); })) {
        proc.step(120, [&] { overwrite = confirmOverwrite(context.dialogs, target); });
    } else {
        overwrite = true;
    }
    if (proc.test(124, [&] { return !overwrite; })) {
        return;
    }
    proc.step(126, [&] { context.pointer.setPointer(PointerState::Busy); });
    SaveEnd end = SaveEnd::Ended;
    proc.step(128, [&] {
        end = SaveListviewProperlySpaced(rows, target, context.dialogs, context.yielder,
                                         context.progress);
    });
    proc.step(130, [&] { endSave(context, end); });
}

}  // namespace culvex
