#include "filelist/SubDirectories.h"

#include "command/ProtectedProcedure.h"
#include "command/Titles.h"
#include "filelist/PathHelpers.h"
#include "platform/CommandProgress.h"
#include "platform/FileSystem.h"
#include "platform/FolderReader.h"
#include "platform/Yielder.h"

#include <climits>
#include <set>
#include <utility>

namespace culvex {

namespace {

constexpr int kHiddenSystemFolder = fs::Hidden | fs::System | fs::Directory;
constexpr int kHiddenSystemLink = kHiddenSystemFolder | fs::ReparsePoint;

enum Label { kReadEntry = 104, kListEntry = 106, kCopyFound = 110 };

bool descends(const FolderInfo& info) {
    return info.isRoot ||
           (info.attributes != kHiddenSystemFolder && info.attributes != kHiddenSystemLink);
}

bool tooLong(const QString& path) { return path.toUtf8().size() >= PATH_MAX; }

class SubDirectoryScan {
public:
    explicit SubDirectoryScan(const FolderScanServices& services)
        : services_(services),
          reports_(services.dialogs,
                   locationText(QStringLiteral("MorvathTitle"), QStringLiteral("AddFolder"),
                                QStringLiteral("GetSubDirectories2016")),
                   shortTitle()) {}

    void run(QStringList& directories, bool recurse) {
        QStringList collected;
        QStringList level = readLevel(directories);
        while (!level.isEmpty() && !stopped()) {
            QStringList next = recurse ? readLevel(level) : QStringList{};
            collected += level;
            level = std::move(next);
        }
        copyFound(collected, directories);
    }

private:
    enum class Outcome { Keep, Remove };

    // The sub-folders of every entry, in order; entries that are gone or unreadable go.
    QStringList readLevel(QStringList& entries) {
        QStringList found;
        for (qsizetype i = 0; i < entries.size();) {
            if (tooLong(entries[i])) {
                ++i;
                continue;
            }
            if (!carryOn()) {
                break;
            }
            services_.progress.advance(++seen_, 0, 0);
            if (readEntry(entries[i], found) == Outcome::Remove) {
                entries.removeAt(i);
            } else {
                ++i;
            }
        }
        return found;
    }

    Outcome readEntry(const QString& entry, QStringList& found) {
        int label = kReadEntry;
        try {
            const FolderInfo info = services_.reader.inspect(entry);
            visited_.insert(info.identity);
            if (!descends(info)) {
                return Outcome::Keep;
            }
            label = kListEntry;
            for (const SubFolder& sub : services_.reader.subFolders(entry)) {
                if (!carryOn()) {
                    break;
                }
                if (!HasUnsafeChars(sub.name) && visited_.insert(sub.identity).second) {
                    found << entry + sub.name + pathSeparator();
                }
            }
        } catch (const fs::FileSystemError& error) {
            if (error.kind() != fs::FailureKind::Other) {
                return Outcome::Remove;
            }
            reports_.report(std::current_exception(), label);
        } catch (...) {
            reports_.report(std::current_exception(), label);
        }
        return Outcome::Keep;
    }

    void copyFound(const QStringList& collected, QStringList& directories) {
        for (const QString& folder : collected) {
            if (!carryOn()) {
                return;
            }
            try {
                if (descends(services_.reader.inspect(folder))) {
                    directories << folder;
                }
            } catch (const fs::FileSystemError& error) {
                if (error.kind() == fs::FailureKind::Other) {
                    reports_.report(std::current_exception(), kCopyFound);
                    directories << folder;
                }
            }
        }
    }

    // Yields to the window; false once the user has asked the scan to stop, which then
    // ends without reading further folders.
    bool carryOn() {
        services_.yielder.yield();
        return !stopped();
    }
    bool stopped() const { return services_.progress.stopRequested(); }

    const FolderScanServices& services_;
    ProtectedProcedure reports_;
    std::int64_t seen_ = 0;  // folders read, for the progress window
    std::set<FolderIdentity> visited_;
};

}  // namespace

void GetSubDirectories2016(QStringList& directories, bool recurse,
                           const FolderScanServices& services) {
    SubDirectoryScan(services).run(directories, recurse);
}

}  // namespace culvex
