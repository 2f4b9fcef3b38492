#include "command/TypedNumbers.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace culvex {

namespace {

// "&H" (hexadecimal) and "&O" (octal) numbers: a value that fits in 16 bits is a 16-bit
// integer and one that fits in 32 bits a 32-bit integer, negative when its top bit is set.
std::optional<double> radixNumber(const QString& text) {
    if (text.size() < 3 || text[0] != u'&') {
        return std::nullopt;
    }
    const QChar kind = text[1].toUpper();
    const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    const QString digits = text.mid(2);
    const QString allowed = QStringLiteral("0123456789ABCDEF").left(base);
    for (const QChar c : digits) {
        if (!allowed.contains(c.toUpper())) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, base);
    if (base == 0 || !ok || value > 0xFFFFFFFFULL) {
        return std::nullopt;
    }
    if (value <= 0xFFFF) {
        return static_cast<std::int16_t>(value);
    }
    return static_cast<std::int32_t>(value);
}

// A decimal number with "D" in place of the exponent's "E", as in "1D2".
QString withExponentE(const QString& text) {
    return text.count(u'D', Qt::CaseInsensitive) == 1
               ? QString(text).replace(QChar(u'D'), QChar(u'E'), Qt::CaseInsensitive)
               : text;
}

std::optional<double> localeNumber(const QLocale& locale, const QString& text) {
    for (const QString& form : {text, withExponentE(text)}) {
        bool ok = false;
        const double value = locale.toDouble(form, &ok);
        if (ok && std::isfinite(value)) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> parseNumericEntry(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    if (const std::optional<double> value = radixNumber(trimmed)) {
        return value;
    }
    for (const QLocale& locale : {QLocale::system(), QLocale::c()}) {
        if (const std::optional<double> value = localeNumber(locale, trimmed)) {
            return value;
        }
    }
    return std::nullopt;
}

std::int32_t toWholeNumber32(const QString& text) {
    std::optional<double> value = radixNumber(text.trimmed());
    if (!value) {
        bool ok = false;
        value = QLocale().toDouble(withExponentE(text.trimmed()), &ok);
        if (!ok) {
            throw std::invalid_argument("Type mismatch: \"" + text.toStdString() +
                                        "\" is not a number");
        }
    }
    const double rounded = std::nearbyint(*value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw std::out_of_range("Overflow: \"" + text.toStdString() + "\" is out of range");
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace culvex
