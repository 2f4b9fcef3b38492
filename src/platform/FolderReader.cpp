#include "platform/FolderReader.h"

#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace culvex {

namespace {

FolderIdentity identityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool onlySeparators(const QString& path) {
    return !path.isEmpty() && path.count(u'/') == path.size();
}

// Closes the listing however the walk over it ends.
class OpenFolder {
public:
    explicit OpenFolder(const QString& path) : dir_(::opendir(fs::nativePath(path).c_str())) {
        if (dir_ == nullptr) {
            throw fs::errorFromErrno(errno);
        }
    }
    ~OpenFolder() { ::closedir(dir_); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int fd() const { return ::dirfd(dir_); }
    // The next entry, or nullptr at the end; throws when the listing fails.
    const dirent* next() {
        errno = 0;
        const dirent* entry = ::readdir(dir_);
        if (entry == nullptr && errno != 0) {
            throw fs::errorFromErrno(errno);
        }
        return entry;
    }

private:
    DIR* dir_;
};

bool isDotName(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

FolderInfo PosixFolderReader::inspect(const QString& path) const {
    const fs::PathStatus status = fs::pathStatus(path);
    return {status.attributes, onlySeparators(path), {status.device, status.inode}};
}

std::vector<SubFolder> PosixFolderReader::subFolders(const QString& path) const {
    OpenFolder folder(path);
    std::vector<SubFolder> result;
    while (const dirent* entry = folder.next()) {
        const unsigned char type = entry->d_type;
        if ((type != DT_DIR && type != DT_LNK && type != DT_UNKNOWN) || isDotName(entry->d_name)) {
            continue;
        }
        struct stat st {};
        if (::fstatat(folder.fd(), entry->d_name, &st, 0) != 0 || !S_ISDIR(st.st_mode)) {
            continue;
        }
        if (std::optional<QString> name = fs::decodedName(entry->d_name)) {
            result.push_back({std::move(*name), identityOf(st)});
        }
    }
    std::sort(result.begin(), result.end(), [](const SubFolder& a, const SubFolder& b) {
        return fs::listsBefore(a.name, b.name);
    });
    return result;
}

FolderReader& systemFolderReader() {
    static PosixFolderReader reader;
    return reader;
}

}  // namespace culvex
