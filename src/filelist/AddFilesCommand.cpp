#include "filelist/AddFilesCommand.h"

#include "command/CommandContext.h"
#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "filelist/FileListModel.h"
#include "filelist/PathHelpers.h"

#include <QFileInfo>

namespace culvex {

namespace {

QString tooManyFilesMessage() {
    return QStringLiteral(
        "You've selected too many files to add.\r\r"
        "Please try adding via the \"Add All\" button.");
}

// The buffer holds the names, a NUL after each and a second NUL closing the list.
bool exceedsNameBuffer(const OpenFilesAnswer& answer) {
    return answer.join(QChar(0)).size() + 2 > kSelectedNamesLimit;
}

}  // namespace

void addFiles(FileListModel& list, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton1_Click")));
    OpenFilesRequest request;
    proc.step(100, [&] { context.dialogState.fileName.clear(); });
    proc.step(104, [&] {
        request.title = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
        request.filter = QStringLiteral("CSV Files (*.csv*)|*.csv;");
        request.fileName = context.dialogState.fileName;
    });
    OpenFilesAnswer answer;
    proc.step(110, [&] { answer = context.dialogs.openFiles(request); });
    if (answer.isEmpty()) {
        return;
    }
    if (exceedsNameBuffer(answer)) {
        showPlainMessage(context.dialogs, tooManyFilesMessage());
        return;
    }
    context.dialogState.fileName = answer.first();
    if (answer.size() == 1) {
        proc.step(114, [&] { list.append(answer.first()); });
        return;
    }
    const QString folder = answer.first();
    for (qsizetype i = 1; i < answer.size(); ++i) {
        proc.step(118,
                  [&] { list.append(CleanPathSlashes(folder + pathSeparator() + answer[i])); });
    }
}

void addGivenFiles(FileListModel& list, const QStringList& paths) {
    for (const QString& path : paths) {
        const QString entry = CleanPathSlashes(QFileInfo(path).absoluteFilePath());
        if (!ListContainsText(list, entry)) {
            list.append(entry);
        }
    }
}

}  // namespace culvex
