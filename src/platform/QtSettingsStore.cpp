#include "platform/QtSettingsStore.h"

namespace culvex {

namespace {
constexpr auto kApplication = "Quillbrook";
constexpr auto kSection = "Culvex";
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, kApplication, kApplication) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(iniPath, QSettings::IniFormat) {}

QString QtSettingsStore::fullKey(const QString& key) const {
    return QString::fromLatin1(kSection) + u'/' + key;
}

std::optional<QString> QtSettingsStore::read(const QString& key) const {
    const QVariant value = settings_.value(fullKey(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString();
}

void QtSettingsStore::write(const QString& key, const QString& value) {
    settings_.setValue(fullKey(key), value);
    if (batchDepth_ == 0) {
        settings_.sync();
    }
}

void QtSettingsStore::beginBatch() { ++batchDepth_; }

void QtSettingsStore::endBatch() {
    if (--batchDepth_ == 0) {
        settings_.sync();
    }
}

}  // namespace culvex
