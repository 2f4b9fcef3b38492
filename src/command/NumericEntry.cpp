#include "command/NumericEntry.h"

#include <QLocale>
#include <cmath>

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

}  // namespace culvex
