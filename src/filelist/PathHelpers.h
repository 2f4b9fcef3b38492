#pragma once

#include <QString>

namespace culvex {

class FileListModel;

// How CleanPathSlashes reads a path: the local rule (separator "/", a leading run of
// separators becomes one "/") or the Windows rule (separator "\", a leading run becomes
// the two-backslash network prefix).
enum class PathRule { Posix, Windows };

constexpr PathRule nativePathRule() {
#ifdef _WIN32
    return PathRule::Windows;
#else
    return PathRule::Posix;
#endif
}

// The path separator of the rule in use.
QChar pathSeparator(PathRule rule = nativePathRule());

// Collapses doubled separators in one left-to-right pass over non-overlapping pairs (a run
// of three becomes two), after turning a leading run of separators into the rule's prefix.
QString CleanPathSlashes(const QString& path, PathRule rule = nativePathRule());

// True when some entry of the list has exactly this text (case-sensitive).
bool ListContainsText(const FileListModel& list, const QString& text);

// True when the path's modification time can be read. Never throws, never shows anything.
bool FileExists(const QString& path) noexcept;

}  // namespace culvex
