#pragma once

#include "platform/SettingsStore.h"

#include <QMap>
#include <QStringList>

namespace culvex::testing {

// Settings kept in memory, with a log of every write in order.
class MemorySettingsStore final : public SettingsStore {
public:
    QMap<QString, QString> values;
    QStringList writes;  // "key=value", in order

    std::optional<QString> read(const QString& key) const override {
        const auto it = values.constFind(key);
        if (it == values.constEnd()) {
            return std::nullopt;
        }
        return *it;
    }
    void write(const QString& key, const QString& value) override {
        values.insert(key, value);
        writes << key + u'=' + value;
    }

private:
    void beginBatch() override {}
    void endBatch() override {}
};

}  // namespace culvex::testing
