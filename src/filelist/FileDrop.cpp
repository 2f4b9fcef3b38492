#include "filelist/FileDrop.h"

#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/PathHelpers.h"
#include "filelist/SubDirectories.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace culvex {

bool offersFileList(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.cbegin(), urls.cend(),
                       [](const QUrl& url) { return url.isLocalFile(); });
}

QStringList droppedPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths << QDir::toNativeSeparators(url.toLocalFile());
        }
    }
    return paths;
}

void dropOnFileList(FileListModel& list, const QStringList& paths,
                    const FolderScanServices& services) {
    for (const QString& path : paths) {
        if (!fs::isFolder(path)) {
            list.append(path);
            continue;
        }
        QStringList directories{path + pathSeparator()};
        GetSubDirectories2016(directories, true, services);
        appendFolderFiles(list, directories, QStringLiteral("*.*"), services.yielder,
                          [](const std::exception_ptr&) {});
    }
}

}  // namespace culvex
