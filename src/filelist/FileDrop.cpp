#include "filelist/FileDrop.h"

#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/PathHelpers.h"
#include "filelist/SubDirectories.h"
#include "platform/CommandProgress.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>
#include <optional>

namespace culvex {

namespace {

// A file of this machine (no host, or "localhost") whose path is valid UTF-8, as every
// file name of the program is; any other address names nothing that can be read here.
std::optional<QString> localPath(const QUrl& url) {
    if (!url.isLocalFile() ||
        !(url.host().isEmpty() || url.host() == QStringLiteral("localhost"))) {
        return std::nullopt;
    }
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    const QString path = QString::fromUtf8(bytes);
    if (path.toUtf8() != bytes) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(path);
}

}  // namespace

bool offersFileList(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.cbegin(), urls.cend(),
                       [](const QUrl& url) { return localPath(url).has_value(); });
}

QStringList droppedPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (const std::optional<QString> path = localPath(url)) {
            paths << *path;
        }
    }
    return paths;
}

void dropOnFileList(FileListModel& list, const QStringList& paths,
                    const FolderScanServices& services) {
    const ProgressScope progress(services.progress, scanningFolders(),
                                 CommandProgress::Counted::Files);
    for (const QString& path : paths) {
        if (services.progress.stopRequested()) {
            return;
        }
        if (!fs::isFolder(path)) {
            list.append(path);
            continue;
        }
        QStringList directories{path + pathSeparator()};
        GetSubDirectories2016(directories, true, services);
        if (!services.progress.stopRequested()) {
            appendFolderFiles(list, directories, QStringLiteral("*.*"), services,
                              [](const std::exception_ptr&) {});
        }
    }
}

}  // namespace culvex
