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

// Steps 114 to 120: the folder's tree, then the files of each of its folders. A stop
// keeps the files appended so far.
void scanInto(ProtectedProcedure& proc, FileListModel& list, const QString& folder,
              const QString& extension, const FolderScanServices& services) {
    const ProgressScope progress(services.progress, scanningFolders(),
                                 CommandProgress::Counted::Files);
    QStringList directories{folder + pathSeparator()};
    proc.step(116, [&] { GetSubDirectories2016(directories, true, services); });
    if (services.progress.stopRequested()) {
        return;
    }
    proc.step(118, [&] {
        appendFolderFiles(
            list, directories, QStringLiteral("*.") + extension, services,
            [&proc](const std::exception_ptr& failure) { proc.report(failure, 120); });
    });
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
    scanInto(proc, list, folder, extension,
             {reader, context.yielder, context.progress, context.dialogs});
    proc.step(122, [&] { context.pointer.setPointer(PointerState::Default); });
}

}  // namespace culvex
