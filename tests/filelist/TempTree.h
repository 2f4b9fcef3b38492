#pragma once

#include "TempFolder.h"
#include "filelist/FileListModel.h"
#include "platform/FileSystem.h"
#include "platform/FolderReader.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <functional>

namespace culvex::testing {

// A real folder tree in a temporary folder, removed with the test.
class TempTree {
public:
    QString root() const { return QString::fromStdString(folder_.root()); }
    QString path(const QString& relative) const { return QDir(root()).filePath(relative); }

    QString folder(const QString& relative) {
        QDir(root()).mkpath(relative);
        return path(relative);
    }
    QString file(const QString& relative, const QByteArray& content = "a,b,c\n") {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile out(full);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(content);
        }
        return full;
    }
    bool link(const QString& target, const QString& relative) {
        return QFile::link(target, path(relative));
    }

private:
    TempFolder folder_;
};

// The local folders, with sub-folders in name order (so that tests do not depend on the
// file system's listing order), and failures or attributes scripted per path.
class ScriptedFolderReader final : public FolderReader {
public:
    QMap<QString, fs::FailureKind> inspectFailures;
    QMap<QString, fs::FailureKind> listFailures;
    QMap<QString, int> attributes;
    QStringList roots;
    std::function<void(const QString&)> beforeInspect;

    FolderInfo inspect(const QString& path) const override {
        if (beforeInspect) {
            beforeInspect(path);
        }
        failIfScripted(inspectFailures, path);
        FolderInfo info = real_.inspect(path);
        info.attributes = attributes.value(path, info.attributes);
        info.isRoot = info.isRoot || roots.contains(path);
        return info;
    }
    std::vector<SubFolder> subFolders(const QString& path) const override {
        failIfScripted(listFailures, path);
        std::vector<SubFolder> result = real_.subFolders(path);
        std::sort(result.begin(), result.end(),
                  [](const SubFolder& a, const SubFolder& b) { return a.name < b.name; });
        return result;
    }

private:
    static void failIfScripted(const QMap<QString, fs::FailureKind>& failures,
                               const QString& path) {
        const auto it = failures.constFind(path);
        if (it != failures.constEnd()) {
            throw fs::FileSystemError(*it, "Scripted failure");
        }
    }

    PosixFolderReader real_;
};

}  // namespace culvex::testing
