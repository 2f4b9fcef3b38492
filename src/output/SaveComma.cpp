#include "output/SaveComma.h"

#include "command/ProtectedProcedure.h"
#include "engine/ResultsFormat.h"
#include "engine/TextFileWriter.h"
#include "output/SaveTarget.h"
#include "output/YieldingRows.h"

#include <QFile>
#include <optional>

namespace culvex {

namespace {

void writeRows(TextFileWriter& file, const ResultsStore& rows, Yielder& yielder) {
    const std::size_t count = rows.size();
    std::size_t written = 0;
    forEachRowYielding(rows, count, yielder, [&](std::string_view row) {
        const bool last = ++written == count;
        file.writeFormatted([&](std::string& out) { appendCommaLine(out, row, last); });
    });
}

}  // namespace

// A row that can no longer be read ends the save after one report and the file is not
// put in place.
void SaveListviewAsCommaDelimToFile(const ResultsStore& rows, const QString& target,
                                    Dialogs& dialogs, Yielder& yielder) {
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
        return;
    }
    std::optional<TextFileWriter> file;
    if (!proc.step(120, [&] { file.emplace(QFile::encodeName(target).toStdString()); })) {
        return;
    }
    if (!proc.step(150, [&] { writeRows(*file, rows, yielder); })) {
        return;
    }
    proc.step(182, [&] { file->close(); });
}

// The window is busy from before the overwrite question until the save ends.
void saveCommaText(const ResultsStore& rows, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton2_Click")));
    const QString target = askSaveTarget(proc, context.dialogState);
    if (proc.test(116, [&] { return target.isEmpty(); })) {
        return;
    }
    proc.step(118, [&] { context.pointer.setPointer(PointerState::Busy); });
    proc.step(120, [&] {
        SaveListviewAsCommaDelimToFile(rows, target, context.dialogs, context.yielder);
    });
    proc.step(122, [&] { context.pointer.setPointer(PointerState::Arrow); });
}

}  // namespace culvex
