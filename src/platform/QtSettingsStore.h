#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>
#include <memory>

namespace culvex {

// Settings in an INI file in the user's configuration folder:
// $XDG_CONFIG_HOME/Quillbrook/Quillbrook.ini, group [Culvex].
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // For tests and tools: a store kept in the given INI file.
    explicit QtSettingsStore(const QString& iniPath);

    std::optional<QString> read(const QString& key) const override;
    // Throws std::runtime_error when the file cannot be written (a read-only file or
    // folder, a folder in the file's place, a plain file in the folder's place).
    void write(const QString& key, const QString& value) override;

private:
    void beginBatch() override;
    void endBatch() override;
    QString fullKey(const QString& key) const;
    bool synced();

    QString iniPath_;  // empty for the user's own file
    std::unique_ptr<QSettings> settings_;
    int batchDepth_ = 0;
};

}  // namespace culvex
