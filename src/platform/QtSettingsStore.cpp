#include "platform/QtSettingsStore.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace culvex {

namespace {
const QString kSection = QStringLiteral("Culvex");

QString userSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quillbrook/Quillbrook.ini");
}

std::runtime_error systemError(int error) {
    return std::runtime_error(std::generic_category().message(error));
}

// The file's bytes; a missing file is empty. Throws with the system's wording when the
// file is there but cannot be read.
QByteArray readFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return {};
        }
        throw systemError(errno);
    }
    QByteArray bytes;
    char block[16384];
    ssize_t got = 0;
    while ((got = ::read(fd, block, sizeof block)) > 0) {
        bytes.append(block, got);
    }
    const int error = errno;
    ::close(fd);
    if (got < 0) {
        throw systemError(error);
    }
    return bytes;
}

SettingsFile loadOrEmpty(const QString& path) {
    try {
        return SettingsFile(readFile(path), kSection);
    } catch (const std::runtime_error&) {
        return SettingsFile({}, kSection);
    }
}

// Why the file cannot be replaced, in the system's words where it has them.
std::runtime_error writeFailure(const QString& path, const QString& detail) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) {
        return systemError(errno);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
        return systemError(errno);
    }
    return std::runtime_error(detail.toStdString());
}

void writeFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), F_OK) == 0 && ::access(name.constData(), W_OK) != 0) {
        throw systemError(errno);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw writeFailure(path, file.errorString());
    }
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(userSettingsPath()) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : path_(iniPath), file_(loadOrEmpty(iniPath)) {}

std::optional<QString> QtSettingsStore::read(const QString& key) const { return file_.value(key); }

void QtSettingsStore::write(const QString& key, const QString& value) {
    file_.setValue(key, value);
    pending_.append({key, value});
    if (batchDepth_ == 0) {
        flush();
    }
}

void QtSettingsStore::beginBatch() { ++batchDepth_; }

// The panel's handlers write in batches and have no report for a store that cannot be
// written.
void QtSettingsStore::endBatch() {
    if (--batchDepth_ == 0) {
        try {
            flush();
        } catch (const std::runtime_error&) {
        }
    }
}

void QtSettingsStore::flush() {
    SettingsFile current(readFile(path_), kSection);
    for (const auto& [key, value] : pending_) {
        current.setValue(key, value);
    }
    writeFile(path_, current.bytes());
    file_ = current;
    pending_.clear();
}

}  // namespace culvex
