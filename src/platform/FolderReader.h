#pragma once

#include <QString>
#include <compare>
#include <cstdint>
#include <vector>

namespace culvex {

// The real folder a path leads to, links followed: two paths with the same identity are
// the same folder.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend auto operator<=>(const FolderIdentity&, const FolderIdentity&) = default;
};

// What the folder scan reads of one folder object.
struct FolderInfo {
    int attributes = 0;
    bool isRoot = false;
    FolderIdentity identity;
};

struct SubFolder {
    QString name;
    FolderIdentity identity;
};

// The folder objects the scan walks. Both calls throw fs::FileSystemError on failure;
// permission denied and path not found are told apart from every other failure.
class FolderReader {
public:
    virtual ~FolderReader() = default;
    virtual FolderInfo inspect(const QString& path) const = 0;
    // The direct sub-folders (links to folders included) in the folder's listing order.
    // Names the platform cannot represent as text are left out.
    virtual std::vector<SubFolder> subFolders(const QString& path) const = 0;
};

// Folder objects of the local file system.
class PosixFolderReader : public FolderReader {
public:
    FolderInfo inspect(const QString& path) const override;
    std::vector<SubFolder> subFolders(const QString& path) const override;
};

// The one reader of the local file system the commands use outside tests.
FolderReader& systemFolderReader();

}  // namespace culvex
