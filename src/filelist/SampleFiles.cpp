#include "filelist/SampleFiles.h"

#include "command/AppSettings.h"
#include "command/CommandContext.h"
#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/PathHelpers.h"
#include "filelist/Scramble.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

namespace culvex {

namespace {

QString openFolderQuestion() {
    return QStringLiteral(
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?");
}

// The record joins the paths with "|" and doubles every "|" inside a path, so a path
// holding "|" survives; a record of paths without "|" reads as before. Every path begins
// with the program folder, never with "|", so a "|" after a separator starts no pair.
QString joinRecordPaths(const QStringList& paths) {
    QStringList escaped;
    for (const QString& path : paths) {
        escaped << QString(path).replace(u'|', QStringLiteral("||"));
    }
    return escaped.join(u'|');
}

QStringList splitRecordPaths(const QString& record) {
    QStringList paths{QString()};
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (record[i] != u'|') {
            paths.last() += record[i];
        } else if (i + 1 < record.size() && record[i + 1] == u'|') {
            paths.last() += u'|';
            ++i;
        } else {
            paths << QString();
        }
    }
    return paths;
}

}  // namespace

QString sampleFolder(const QString& programFolder) {
    return programFolder + pathSeparator() + QStringLiteral("Samples");
}

void SnapshotSampleFiles(SettingsStore& settings, Yielder& yielder, const QString& programFolder) {
    const QString folder = sampleFolder(programFolder) + pathSeparator();
    QStringList paths;
    for (const QString& name : ListFilesInFolder(folder, QStringLiteral("*.*"))) {
        paths << folder + name;
    }
    settings.write(keys::kSnapshot, ScrambleText(joinRecordPaths(paths), kSnapshotKey, yielder));
}

void LoadSampleFiles(FileListModel& list, SettingsStore& settings, Dialogs& dialogs, Shell& shell,
                     Yielder& yielder, const QString& programFolder) {
    if (const std::optional<QString> record = settings.read(keys::kSnapshot)) {
        const QString paths = UnscrambleText(*record, kSnapshotKey, yielder);
        for (const QString& path : splitRecordPaths(paths)) {
            if (FileExists(path) && !ListContainsText(list, path)) {
                list.append(path);
            }
        }
    }
    if (askYesNo(dialogs, openFolderQuestion())) {
        shell.openFolder(sampleFolder(programFolder) + pathSeparator());
    }
}

void loadSamples(FileListModel& list, Shell& shell, const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton11_Click")));
    proc.step(100, [&] {
        LoadSampleFiles(list, context.settings, context.dialogs, shell, context.yielder,
                        context.programFolder);
    });
}

}  // namespace culvex
