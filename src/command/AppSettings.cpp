#include "command/AppSettings.h"

#include "platform/Utf8Bytes.h"

namespace culvex {

QString readSetting(const SettingsStore& store, const QString& key) {
    if (std::optional<QString> stored = store.read(key)) {
        return *stored;
    }
    return fromUtf8Bytes(setting::defaultText(toUtf8Bytes(key)));
}

}  // namespace culvex
