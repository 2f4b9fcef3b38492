#pragma once

#include <QString>
#include <optional>

namespace culvex {

// The per-user store of text values under one application name and one section.
// Callers name only the key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key was never written.
    virtual std::optional<QString> read(const QString& key) const = 0;
    // Creates or replaces the key's value. The value is durable when the outermost
    // SettingsBatch ends, or at once when no batch is open. A write outside a batch that
    // cannot be stored throws std::runtime_error with the reason; a batch that cannot be
    // stored is lost without a report.
    virtual void write(const QString& key, const QString& value) = 0;

protected:
    friend class SettingsBatch;
    virtual void beginBatch() = 0;
    virtual void endBatch() = 0;
};

// Groups the writes of one handler so they reach the disk with one flush.
class SettingsBatch {
public:
    explicit SettingsBatch(SettingsStore& store) : store_(store) { store_.beginBatch(); }
    ~SettingsBatch() { store_.endBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    SettingsStore& store_;
};

}  // namespace culvex
