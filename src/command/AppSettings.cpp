#include "command/AppSettings.h"

#include "command/TypedNumbers.h"

#include <QHash>
#include <cmath>
#include <stdexcept>

namespace culvex {

namespace {

const QHash<QString, QString>& defaults() {
    static const QHash<QString, QString> table{
        {keys::option(1), QStringLiteral("1")},
        {keys::option(2), QStringLiteral("0")},
        {keys::option(3), QStringLiteral("1")},
        {keys::option(4), QStringLiteral("0")},
        {keys::option(7), QStringLiteral("1")},
        {keys::option(8), QStringLiteral("0")},
        {keys::option(9), QStringLiteral("1")},
        {keys::option(10), QStringLiteral("0")},
        {keys::option(11), QStringLiteral("1")},
        {keys::text(1), QStringLiteral("1")},
        {keys::text(2), QStringLiteral("a")},
        {keys::text(3), QStringLiteral("5")},
        {keys::text(4), QStringLiteral("a")},
        {keys::text(5), QStringLiteral(",")},
        {keys::kCheck1, QStringLiteral("0")},
        {keys::kExtension, QStringLiteral("csv")},
        {keys::kLastFolder, QString()},
        {keys::kSnapshot, QString()},
        {keys::kEncoding, QStringLiteral("Auto")},
    };
    return table;
}

}  // namespace

QString defaultSetting(const QString& key) {
    const auto it = defaults().constFind(key);
    if (it == defaults().constEnd()) {
        throw std::out_of_range("Unknown setting " + key.toStdString());
    }
    return *it;
}

QString readSetting(const SettingsStore& store, const QString& key) {
    return store.read(key).value_or(defaultSetting(key));
}

QString booleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

bool toBoolean(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    const std::optional<double> number = parseNumericEntry(word);
    if (!number) {
        throw std::invalid_argument("Type mismatch");
    }
    return *number != 0.0;
}

int toShortInteger(const QString& text) {
    const std::optional<double> number = parseNumericEntry(text);
    if (!number) {
        throw std::invalid_argument("Type mismatch");
    }
    const double rounded = std::nearbyint(*number);
    if (rounded < -32768.0 || rounded > 32767.0) {
        throw std::out_of_range("Overflow");
    }
    return static_cast<int>(rounded);
}

}  // namespace culvex
