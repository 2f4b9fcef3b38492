#pragma once

#include "choices/SettingsFile.h"
#include "platform/SettingsStore.h"

#include <string>
#include <utility>
#include <vector>

namespace culvex {

// Settings in an INI-style file in the user's configuration folder (setting::filePath()),
// section [Culvex], each value as written (SettingsFile). Every flush reads the file again, so keys
// another copy of the program wrote in the meantime are kept; the file is replaced whole, never
// left half written.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // For tests and tools: a store kept in the given file.
    explicit QtSettingsStore(const QString& iniPath);

    std::optional<QString> read(const QString& key) const override;
    // Throws std::runtime_error when the file cannot be written (a read-only file or
    // folder, a folder in the file's place, a plain file in the folder's place).
    void write(const QString& key, const QString& value) override;

private:
    void beginBatch() override;
    void endBatch() override;
    void flush();

    QString path_;
    SettingsFile file_;
    // Writes not yet on disk; kept after a failed flush, so the next one stores them too.
    std::vector<std::pair<std::string, std::string>> pending_;
    int batchDepth_ = 0;
};

}  // namespace culvex
