#include "output/SaveList.h"

#include "command/ProtectedProcedure.h"
#include "engine/ResultsFormat.h"
#include "engine/TextFileWriter.h"
#include "output/SaveTarget.h"
#include "output/YieldingRows.h"

#include <QFile>
#include <algorithm>
#include <optional>

namespace culvex {

namespace {

std::size_t columnWidth(const ResultsStore& rows, std::size_t count, Yielder& yielder) {
    std::size_t longest = 0;
    forEachRowYielding(rows, count, yielder,
                       [&](std::string_view row) { longest = std::max(longest, row.size()); });
    return spacedWidth(longest);
}

void writePadded(TextFileWriter& file, std::string_view value, std::size_t width) {
    file.writeFormatted([&](std::string& out) { appendSpacedLine(out, value, width); });
}

void writeRows(TextFileWriter& file, const ResultsStore& rows, std::size_t count, std::size_t width,
               Yielder& yielder) {
    forEachRowYielding(
        rows, count, yielder, [&](std::string_view row) { writePadded(file, row, width); }, width);
}

}  // namespace

// The row count is taken once, so rows that a running extraction appends meanwhile are
// neither measured nor written; a row put in place of a cleared one and longer than the
// width measured is written without padding. A row that can no longer be read ends the save after
// one report and the file is not put in place.
void SaveListviewProperlySpaced(const ResultsStore& rows, const QString& target, Dialogs& dialogs,
                                Yielder& yielder) {
    ProtectedProcedure proc(dialogs,
                            locationText(QStringLiteral("Culvexor"), QStringLiteral("SaveList"),
                                         QStringLiteral("SaveListviewProperlySpaced")));
    const std::size_t count = rows.size();
    std::size_t width = 0;
    if (!proc.step(120, [&] { width = columnWidth(rows, count, yielder); })) {
        return;
    }
    std::optional<TextFileWriter> file;
    if (!proc.step(156, [&] { file.emplace(QFile::encodeName(target).toStdString()); })) {
        return;
    }
    proc.step(170, [&] {
        yielder.yield();
        writePadded(*file, kSpacedHeader, width);
    });
    if (!proc.step(190, [&] { writeRows(*file, rows, count, width, yielder); })) {
        return;
    }
    proc.step(232, [&] { file->close(); });
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
    proc.step(128,
              [&] { SaveListviewProperlySpaced(rows, target, context.dialogs, context.yielder); });
    proc.step(130, [&] { context.pointer.setPointer(PointerState::Arrow); });
}

}  // namespace culvex
