#pragma once

#include <QStringView>

namespace culvex {

// Matches a file name against a listing pattern such as "*.csv": "*" stands for any run
// of characters, "?" for any one character, letters match in either case, and "*.*"
// matches every name, with or without a dot.
bool matchesWildcard(QStringView name, QStringView pattern);

}  // namespace culvex
