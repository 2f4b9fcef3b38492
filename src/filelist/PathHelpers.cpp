#include "filelist/PathHelpers.h"

#include "filelist/FileListModel.h"
#include "platform/FileSystem.h"

namespace culvex {

namespace {

QString collapseDoubledSeparators(QStringView text, QChar separator) {
    const QChar doubled[] = {separator, separator};
    if (!text.contains(QStringView(doubled, 2))) {
        return text.toString();
    }
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) {
            ++i;
        }
    }
    return result;
}

}  // namespace

QChar pathSeparator(PathRule rule) { return rule == PathRule::Windows ? u'\\' : u'/'; }

QString CleanPathSlashes(const QString& path, PathRule rule) {
    const QChar separator = pathSeparator(rule);
    if (!path.startsWith(separator)) {
        return collapseDoubledSeparators(path, separator);
    }
    qsizetype restStart = 1;
    while (restStart < path.size() && path[restStart] == separator) {
        ++restStart;
    }
    const QString prefix = rule == PathRule::Windows ? QStringLiteral("\\\\") : QStringLiteral("/");
    return prefix + collapseDoubledSeparators(QStringView(path).mid(restStart), separator);
}

bool ListContainsText(const FileListModel& list, const QString& text) {
    const QStringList& paths = list.paths();
    return std::find(paths.cbegin(), paths.cend(), text) != paths.cend();
}

bool FileExists(const QString& path) noexcept { return fs::modificationTimeReadable(path); }

}  // namespace culvex
