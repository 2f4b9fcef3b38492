#include "platform/QtSettingsStore.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace culvex {

namespace {
constexpr auto kApplication = "Quillbrook";
constexpr auto kSection = "Culvex";

std::unique_ptr<QSettings> openSettings(const QString& iniPath) {
    if (iniPath.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QString::fromLatin1(kApplication),
                                           QString::fromLatin1(kApplication));
    }
    return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

// The settings object does not keep the system's reason, so the file is asked again; a
// file that opens for writing was refused by its folder.
std::string writeFailure(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const int error = fd < 0 ? errno : EACCES;
    if (fd >= 0) {
        ::close(fd);
    }
    return std::generic_category().message(error);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(openSettings({})) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : iniPath_(iniPath), settings_(openSettings(iniPath)) {}

QString QtSettingsStore::fullKey(const QString& key) const {
    return QString::fromLatin1(kSection) + u'/' + key;
}

std::optional<QString> QtSettingsStore::read(const QString& key) const {
    const QVariant value = settings_->value(fullKey(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString();
}

// The settings object stays in error once a write or its first read failed, so it is
// opened afresh before the next write: a file that can be written again is written again.
void QtSettingsStore::write(const QString& key, const QString& value) {
    if (settings_->status() != QSettings::NoError) {
        settings_ = openSettings(iniPath_);
    }
    settings_->setValue(fullKey(key), value);
    if (batchDepth_ == 0 && !synced()) {
        throw std::runtime_error(writeFailure(settings_->fileName()));
    }
}

void QtSettingsStore::beginBatch() { ++batchDepth_; }

// The panel's handlers write in batches and have no report for a store that cannot be
// written.
void QtSettingsStore::endBatch() {
    if (--batchDepth_ == 0) {
        synced();
    }
}

bool QtSettingsStore::synced() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace culvex
