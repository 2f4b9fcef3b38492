#include "command/TypedNumbers.h"

#include "platform/Utf8Bytes.h"

#include <QLocale>

namespace culvex {

NumberFormat userNumberFormat() {
    const QLocale system = QLocale::system();
    return {toUtf8Bytes(system.decimalPoint()), toUtf8Bytes(system.groupSeparator())};
}

bool isNumericEntry(const QString& text) {
    return isNumericEntry(toUtf8Bytes(text), userNumberFormat());
}

bool toBoolean(const QString& text) { return toBoolean(toUtf8Bytes(text), userNumberFormat()); }

int toShortInteger(const QString& text) {
    return toShortInteger(toUtf8Bytes(text), userNumberFormat());
}

QString booleanSetting(bool value) { return QString::fromUtf8(booleanText(value)); }

}  // namespace culvex
