#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

namespace culvex {

// Settings in an INI file in the user's configuration folder:
// $XDG_CONFIG_HOME/Quillbrook/Quillbrook.ini, group [Culvex].
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // For tests and tools: a store kept in the given INI file.
    explicit QtSettingsStore(const QString& iniPath);

    std::optional<QString> read(const QString& key) const override;
    void write(const QString& key, const QString& value) override;

private:
    void beginBatch() override;
    void endBatch() override;
    QString fullKey(const QString& key) const;

    mutable QSettings settings_;
    int batchDepth_ = 0;
};

}  // namespace culvex
