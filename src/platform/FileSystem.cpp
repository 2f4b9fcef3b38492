#include "platform/FileSystem.h"

#include "engine/TextEncoding.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

namespace culvex::fs {

namespace {

FailureKind kindOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return FailureKind::PermissionDenied;
        case ENOENT:
        case ENOTDIR:
            return FailureKind::PathNotFound;
        default:
            return FailureKind::Other;
    }
}

bool nameIsHidden(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.mid(slash + 1).startsWith(u'.');
}

bool readOnly(const std::string& path, const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

bool isAscii(const char* name) {
    for (; *name != '\0'; ++name) {
        if (static_cast<unsigned char>(*name) >= 0x80) {
            return false;
        }
    }
    return true;
}

// An entry of an open listing that is a regular file, links followed.
bool regularEntry(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat st {};
    return ::fstatat(folderFd, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

int wordOf(const QString& path, const std::string& native, const struct stat& link,
           const struct stat& target) {
    int word = 0;
    if (readOnly(native, target)) {
        word |= ReadOnly;
    }
    if (nameIsHidden(path)) {
        word |= Hidden;
    }
    if (S_ISDIR(target.st_mode)) {
        word |= Directory;
    } else if (S_ISREG(target.st_mode)) {
        word |= Archive;
    }
    if (S_ISLNK(link.st_mode)) {
        word |= ReparsePoint;
    }
    return word;
}

}  // namespace

std::optional<QString> decodedName(const char* name) {
    if (isAscii(name)) {
        return QString::fromLatin1(name);
    }
    const QString text = QFile::decodeName(name);
    if (QFile::encodeName(text) != QByteArrayView(name)) {
        return std::nullopt;
    }
    return text;
}

FileSystemError errorFromErrno(int error) {
    return FileSystemError(kindOf(error), std::strerror(error));
}

namespace {

constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

// A lone low surrogate that stands for one byte: not the second half of a pair.
bool isEscapedByte(QStringView path, qsizetype at) {
    const char16_t unit = path[at].unicode();
    return unit >= kFirstEscape && unit <= kLastEscape &&
           (at == 0 || !QChar::isHighSurrogate(path[at - 1].unicode()));
}

}  // namespace

std::string nativePath(const QString& path) {
    std::string bytes;
    qsizetype runStart = 0;
    for (qsizetype at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !isEscapedByte(path, at)) {
            continue;
        }
        bytes += QStringView(path).sliced(runStart, at - runStart).toUtf8().toStdString();
        if (at < path.size()) {
            bytes += static_cast<char>(path[at].unicode() - 0xDC00);
        }
        runStart = at + 1;
    }
    return bytes;
}

QString pathFromNative(std::string_view bytes) {
    if (utf8::isValid(bytes)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QString path;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = utf8::sequenceLength(bytes.substr(at));
        if (length == 0) {
            path += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            path += QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(length));
            at += length;
        }
    }
    return path;
}

namespace {

// The path itself and, for a symbolic link, what it points to. A dangling link is its own
// target unless the caller needs the target to exist.
struct LinkAndTarget {
    struct stat link {};
    struct stat target {};
};

LinkAndTarget statPath(const std::string& native, bool targetMustExist) {
    LinkAndTarget st;
    if (::lstat(native.c_str(), &st.link) != 0) {
        throw errorFromErrno(errno);
    }
    st.target = st.link;
    if (S_ISLNK(st.link.st_mode) && ::stat(native.c_str(), &st.target) != 0) {
        if (targetMustExist) {
            throw errorFromErrno(errno);
        }
        st.target = st.link;
    }
    return st;
}

// A path ending in "/" names the folder before the separator, or the link to a folder,
// and the attributes are that name's own: hidden by its name, a link by itself. The path
// as written must still lead somewhere, so a file's name with a "/" after it fails.
QString attributeName(const QString& path) {
    QString name = path;
    while (name.size() > 1 && name.endsWith(u'/')) {
        name.chop(1);
    }
    if (name.size() != path.size()) {
        statPath(nativePath(path), true);
    }
    return name;
}

}  // namespace

int attributeWord(const QString& path) {
    const QString name = attributeName(path);
    const std::string native = nativePath(name);
    const LinkAndTarget st = statPath(native, false);
    return wordOf(name, native, st.link, st.target);
}

PathStatus pathStatus(const QString& path) {
    const QString name = attributeName(path);
    const std::string native = nativePath(name);
    const LinkAndTarget st = statPath(native, true);
    return {wordOf(name, native, st.link, st.target), static_cast<std::uint64_t>(st.target.st_dev),
            static_cast<std::uint64_t>(st.target.st_ino)};
}

bool modificationTimeReadable(const QString& path) noexcept {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(nativePath(path).c_str(), &st) == 0;
}

bool isOpenableFile(const QString& path) noexcept {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString& path) noexcept {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool listsBefore(const QString& first, const QString& second) {
    const int folded = first.compare(second, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : first < second;
}

QStringList listOpenableFiles(const QString& folder,
                              const std::function<bool(QStringView name)>& nameFilter) {
    QStringList names;
    const std::string native = nativePath(folder);
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) {
        return names;
    }
    const int folderFd = ::dirfd(dir);
    const std::size_t folderBytes = native.size() + (native.ends_with('/') ? 0 : 1);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR || folderBytes + std::strlen(entry->d_name) >= PATH_MAX) {
            continue;
        }
        const std::optional<QString> name = decodedName(entry->d_name);
        if (name && nameFilter(*name) && regularEntry(folderFd, *entry)) {
            names << *name;
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), listsBefore);
    return names;
}

}  // namespace culvex::fs
