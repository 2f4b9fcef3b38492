#pragma once

#include "platform/SettingsStore.h"

#include <QMap>
#include <QStringList>
#include <stdexcept>

namespace culvex::testing {

// Settings kept in memory, with a log of every write in order.
class MemorySettingsStore final : public SettingsStore {
public:
    QMap<QString, QString> values;
    QStringList writes;  // "key=value", in order
    // When not empty, the store cannot be written: a write outside a batch throws this
    // description, a batched write is lost without a word, as the real store does.
    QString writeFailure;

    std::optional<QString> read(const QString& key) const override {
        const auto it = values.constFind(key);
        if (it == values.constEnd()) {
            return std::nullopt;
        }
        return *it;
    }
    void write(const QString& key, const QString& value) override {
        if (!writeFailure.isEmpty()) {
            if (batchDepth_ == 0) {
                throw std::runtime_error(writeFailure.toStdString());
            }
            return;
        }
        values.insert(key, value);
        writes << key + u'=' + value;
    }

private:
    void beginBatch() override { ++batchDepth_; }
    void endBatch() override { --batchDepth_; }

    int batchDepth_ = 0;
};

}  // namespace culvex::testing
