#pragma once

#include "choices/SettingKeys.h"
#include "platform/SettingsStore.h"

#include <QString>

namespace culvex {

// The program's settings keys (choices/SettingKeys.h) as the window's store names them.
namespace keys {
inline QString option(int number) { return QString::fromStdString(setting::option(number)); }
inline QString text(int number) { return QString::fromStdString(setting::text(number)); }
inline const QString kCheck1 = QString::fromUtf8(setting::kCheck1);
inline const QString kEncoding = QString::fromUtf8(setting::kEncoding);
inline const QString kExtension = QString::fromUtf8(setting::kExtension);
inline const QString kLastFolder = QString::fromUtf8(setting::kLastFolder);
inline const QString kSnapshot = QString::fromUtf8(setting::kSnapshot);
inline const QString kPreviewWindow = QString::fromUtf8(setting::kPreviewWindow);
inline const QString kQuotedFields = QString::fromUtf8(setting::kQuotedFields);
}  // namespace keys

// The stored text of a key, or its default. Reading never writes the default. Throws
// std::out_of_range for a key without a default.
QString readSetting(const SettingsStore& store, const QString& key);

}  // namespace culvex
