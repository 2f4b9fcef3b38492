#pragma once

#include "engine/ResultsStore.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>
#include <memory>
#include <string>

namespace culvex::testing {

// A store holding the given rows (stores are not copyable, so it comes on the heap).
inline std::unique_ptr<ResultsStore> storeOf(std::initializer_list<std::string> rows) {
    auto store = std::make_unique<ResultsStore>();
    for (const std::string& row : rows) {
        store->append(row);
    }
    return store;
}

inline std::string fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return file.readAll().toStdString();
}

inline void writeFileBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

}  // namespace culvex::testing
