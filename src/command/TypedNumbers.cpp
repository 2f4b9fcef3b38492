#include "command/TypedNumbers.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace culvex {

std::optional<double> parseNumericEntry(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    for (const QLocale& locale : {QLocale::system(), QLocale::c()}) {
        bool ok = false;
        const double value = locale.toDouble(trimmed, &ok);
        if (ok && std::isfinite(value)) {
            return value;
        }
    }
    return std::nullopt;
}

std::int32_t toWholeNumber32(const QString& text) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) {
        throw std::invalid_argument("Type mismatch: \"" + text.toStdString() +
                                    "\" is not a number");
    }
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw std::out_of_range("Overflow: \"" + text.toStdString() + "\" is out of range");
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace culvex
