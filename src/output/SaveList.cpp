#include "output/SaveList.h"

#include "command/ProtectedProcedure.h"
#include "engine/RowAccess.h"
#include "output/SaveTarget.h"
#include "platform/TextFileWriter.h"

#include <algorithm>
#include <optional>

namespace culvex {

namespace {

constexpr std::string_view kHeader = "Results";

// Every byte of the code page is one character, so a row's width is its byte count.
std::size_t columnWidth(const ResultsStore& rows, std::size_t count, Yielder& yielder) {
    std::size_t width = kHeader.size();
    for (std::size_t i = 0; i < count; ++i) {
        yielder.yield();
        width = std::max(width, rowAt(rows, i).size());
    }
    return width;
}

void writePadded(TextFileWriter& file, std::string& line, std::string_view value,
                 std::size_t width) {
    line.assign(value);
    if (value.size() < width) {
        line.append(width - value.size(), ' ');
    }
    line.push_back('\t');
    file.writeLine(line);
}

void writeRows(TextFileWriter& file, const ResultsStore& rows, std::size_t count, std::size_t width,
               Yielder& yielder) {
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        yielder.yield();
        writePadded(file, line, rowAt(rows, i), width);
    }
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
    if (!proc.step(156, [&] { file.emplace(target); })) {
        return;
    }
    std::string line;
    proc.step(170, [&] {
        yielder.yield();
        writePadded(*file, line, kHeader, width);
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
