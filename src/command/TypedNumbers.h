#pragma once

#include "choices/TypedNumbers.h"

#include <QString>

namespace culvex {

// The decimal point and group separator of the user's system locale.
NumberFormat userNumberFormat();

// The window's forms of the typed-number rules of choices/TypedNumbers.h, in the user's
// number format.
bool isNumericEntry(const QString& text);
bool toBoolean(const QString& text);
int toShortInteger(const QString& text);
QString booleanSetting(bool value);

}  // namespace culvex
