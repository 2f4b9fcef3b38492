#include "filelist/AddFolder.h"

#include "filelist/FileListModel.h"
#include "filelist/PathHelpers.h"
#include "filelist/Wildcard.h"
#include "platform/CommandProgress.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Yielder.h"

namespace culvex {

namespace {

constexpr int kHiddenArchiveOnly = fs::Hidden | fs::Archive;

// Only a name beginning with "." can carry the hidden bit, so other names need no
// attribute read.
bool isHiddenArchiveOnly(const QString& name, const QString& path) {
    return name.startsWith(u'.') && fs::attributeWord(path) == kHiddenArchiveOnly;
}

}  // namespace

QString scanningFolders() { return QStringLiteral("Scanning folders"); }

QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& startFolder) {
    return dialogs.browseFolder({prompt, startFolder});
}

bool HasUnsafeChars(const QString& name) {
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        const char16_t code = c.unicode();
        return code < 32 || (code >= 127 && code <= 159) || code == u'?';
    });
}

QStringList ListFilesInFolder(const QString& folder, const QString& pattern) {
    const QChar separator = pathSeparator();
    const QString withSeparator = folder.endsWith(separator) ? folder : folder + separator;
    return fs::listOpenableFiles(
        withSeparator, [&pattern](QStringView name) { return matchesWildcard(name, pattern); });
}

void appendFolderFiles(FileListModel& list, const QStringList& directories, const QString& pattern,
                       const FolderScanServices& services,
                       const std::function<void(const std::exception_ptr&)>& onFailure) {
    const QChar separator = pathSeparator();
    std::int64_t folders = 0;
    std::int64_t found = 0;
    for (const QString& entry : directories) {
        services.yielder.yield();
        if (services.progress.stopRequested()) {
            return;
        }
        services.progress.advance(folders++, directories.size(), found);
        const QString folder = entry.chopped(1);
        QStringList paths;
        for (const QString& name : ListFilesInFolder(folder, pattern)) {
            if (name.startsWith(u'~')) {
                continue;
            }
            const QString path = folder + separator + name;
            try {
                if (isHiddenArchiveOnly(name, path)) {
                    continue;
                }
            } catch (...) {
                onFailure(std::current_exception());
                continue;
            }
            paths << CleanPathSlashes(path);
        }
        found += paths.size();
        list.appendAll(paths);
    }
}

}  // namespace culvex
