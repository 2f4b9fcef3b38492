#include "filelist/FolderScanCommand.h"

#include "command/AppSettings.h"
#include "command/CommandContext.h"
#include "command/ProtectedProcedure.h"
#include "command/Titles.h"
#include "filelist/AddFolder.h"
#include "filelist/PathHelpers.h"
#include "filelist/SubDirectories.h"

namespace culvex {

namespace {

QString extensionPrompt() {
    return QStringLiteral(
        "Enter file extension to load:\r\r"
        "(* for all files, txt for all txt files, doc for all doc files, etc.)");
}

}  // namespace

void scanFolder(FileListModel& list, const CommandContext& context, FolderReader& reader) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton4_Click")));
    QString extension;
    proc.step(100, [&] {
        const QString stored = readSetting(context.settings, keys::kExtension);
        extension =
            context.dialogs.input({extensionPrompt(), shortTitle(), stored}).value_or(QString());
    });
    if (extension.isEmpty()) {
        return;
    }
    proc.step(104, [&] { context.settings.write(keys::kExtension, extension); });
    QString folder;
    proc.step(106, [&] { folder = readSetting(context.settings, keys::kLastFolder); });
    proc.step(108, [&] {
        folder = BrowseForFolder(context.dialogs, QStringLiteral("Please select folder:"), folder);
    });
    if (folder.isEmpty()) {
        return;
    }
    proc.step(110, [&] { context.settings.write(keys::kLastFolder, folder); });
    proc.step(112, [&] { context.pointer.setPointer(PointerState::Busy); });
    QStringList directories{folder + pathSeparator()};
    proc.step(116, [&] {
        GetSubDirectories2016(directories, true, {reader, context.yielder, context.dialogs});
    });
    proc.step(118, [&] {
        appendFolderFiles(
            list, directories, QStringLiteral("*.") + extension, context.yielder,
            [&proc](const std::exception_ptr& failure) { proc.report(failure, 120); });
    });
    proc.step(122, [&] { context.pointer.setPointer(PointerState::Default); });
}

}  // namespace culvex
