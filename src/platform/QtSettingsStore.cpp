#include "platform/QtSettingsStore.h"

#include "choices/SettingKeys.h"
#include "platform/Utf8Bytes.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace culvex {

namespace {

std::runtime_error systemError(int error) {
    return std::runtime_error(std::generic_category().message(error));
}

std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

SettingsFile loadOrEmpty(const QString& path) {
    try {
        return SettingsFile(readSettingsBytes(pathBytes(path)), setting::kSection);
    } catch (const std::runtime_error&) {
        return SettingsFile({}, setting::kSection);
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

void writeFile(const QString& path, const std::string& text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), F_OK) == 0 && ::access(name.constData(), W_OK) != 0) {
        throw systemError(errno);
    }
    // A folder that cannot be made is the cause to report, not the file then missing.
    std::error_code made;
    std::filesystem::create_directories(pathBytes(QFileInfo(path).absolutePath()), made);
    if (made) {
        throw systemError(made.value());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw writeFailure(path, file.errorString());
    }
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : QtSettingsStore(QFile::decodeName(QByteArray::fromStdString(setting::filePath()))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : path_(iniPath), file_(loadOrEmpty(iniPath)) {}

std::optional<QString> QtSettingsStore::read(const QString& key) const {
    const std::optional<std::string> value = file_.value(toUtf8Bytes(key));
    return value ? std::optional<QString>(fromUtf8Bytes(*value)) : std::nullopt;
}

void QtSettingsStore::write(const QString& key, const QString& value) {
    file_.setValue(toUtf8Bytes(key), toUtf8Bytes(value));
    pending_.emplace_back(toUtf8Bytes(key), toUtf8Bytes(value));
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
    SettingsFile current(readSettingsBytes(pathBytes(path_)), setting::kSection);
    for (const auto& [key, value] : pending_) {
        current.setValue(key, value);
    }
    writeFile(path_, current.bytes());
    file_ = current;
    pending_.clear();
}

}  // namespace culvex
