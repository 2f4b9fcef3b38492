#pragma once

#include "platform/SettingsStore.h"

#include <QString>

namespace culvex {

// The program's settings keys, each named after the control or command it belongs to. Their
// defaults are in one table beside defaultSetting().
namespace keys {
inline QString option(int number) { return QStringLiteral("Option%1").arg(number); }
inline QString text(int number) { return QStringLiteral("Text%1").arg(number); }
inline const QString kCheck1 = QStringLiteral("Check1");
inline const QString kEncoding = QStringLiteral("Encoding");
inline const QString kExtension = QStringLiteral("Extension");
inline const QString kLastFolder = QStringLiteral("LastFolder");
inline const QString kSnapshot = QStringLiteral("Snapshot");
}  // namespace keys

// The text a key reads as when it was never written ("1"/"0" for the option keys, which
// take their default as a number). Throws std::out_of_range for a key not in the table.
QString defaultSetting(const QString& key);

// The stored text of a key, or its default. Reading never writes the default.
QString readSetting(const SettingsStore& store, const QString& key);

// "True" or "False", as option buttons are stored.
QString booleanText(bool value);

// A stored option text as a boolean: "True"/"False" in any letter case, or any number
// (zero false, every other number true). Throws "Type mismatch" for anything else.
bool toBoolean(const QString& text);

// A stored check box text as a 16-bit integer, rounding a fraction half to even. Throws
// "Type mismatch" for a text that is not a number, "Overflow" outside -32768..32767.
int toShortInteger(const QString& text);

}  // namespace culvex
