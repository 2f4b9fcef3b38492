#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace culvex::fs {

// Bits of a path's attribute word, as the folder scan compares them.
// On this platform: read-only when the user may not write the path (or no write bit is
// set), hidden when the name begins with ".", directory, archive for every regular file,
// reparse point for a symbolic link. The system bit is never set.
enum Attribute : int {
    ReadOnly = 1,
    Hidden = 2,
    System = 4,
    Directory = 16,
    Archive = 32,
    ReparsePoint = 1024,
};

// Why a file-system call failed, as far as the scan tells failures apart.
enum class FailureKind { PermissionDenied, PathNotFound, Other };

// A failed file-system call; what() is the system's own wording.
class FileSystemError : public std::runtime_error {
public:
    FileSystemError(FailureKind kind, const std::string& description)
        : std::runtime_error(description), kind_(kind) {}
    FailureKind kind() const { return kind_; }

private:
    FailureKind kind_;
};

// Builds the error of a failed call from errno.
FileSystemError errorFromErrno(int error);

// The path in the platform's own encoding (UTF-8 file names). A byte that began no UTF-8
// sequence in the name it came from (pathFromNative) is that byte again.
std::string nativePath(const QString& path);

// A path's bytes as text: UTF-8 read as such, and each byte that begins no valid sequence
// as the lone surrogate U+DC80 to U+DCFF, which valid UTF-8 never holds, so that a name
// from another encoding is kept as its bytes and opens again.
QString pathFromNative(std::string_view bytes);

// The attribute word of the path; throws FileSystemError when it cannot be read.
int attributeWord(const QString& path);

// The attribute word of a path together with the identity of what it leads to (links
// followed); throws FileSystemError when the path or a link's target cannot be read.
struct PathStatus {
    int attributes = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
PathStatus pathStatus(const QString& path);

// True when the path's last-modification time can be read.
bool modificationTimeReadable(const QString& path) noexcept;

// True for an existing regular file (links followed): what an open without access rights
// accepts. Folders, devices, pipes and missing paths are not openable. Read permission is
// not asked for: a file the user may not read is listed, and reading it fails later.
bool isOpenableFile(const QString& path) noexcept;

// True when the path names an existing folder (links followed).
bool isFolder(const QString& path) noexcept;

// A listed name as text, or nothing when its bytes are not UTF-8 that turns back into the
// same bytes (such a name could not be opened again by its text).
std::optional<QString> decodedName(const char* name);

// The order in which folder listings are given: by name regardless of letter case (as a
// Windows directory lists them), so the order is the same on every file system and run.
bool listsBefore(const QString& first, const QString& second);

// The names of the openable files of a folder whose names pass the filter, in listing
// order (listsBefore), hidden files included and sub-folders excluded. Names that the
// platform cannot represent as text are left out, and so are files whose full path is
// too long to be opened (PATH_MAX). A folder that cannot be listed gives
// no names.
QStringList listOpenableFiles(const QString& folder,
                              const std::function<bool(QStringView name)>& nameFilter);

}  // namespace culvex::fs
