#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace culvex {

// The text of the settings file, of which one section belongs to the program. Lines
// outside that section are kept byte for byte.
//
// In the program's section (its name in any letter case), each "key=value" line holds the
// value exactly as written after the first "=", up to the end of the line; keys match in
// any letter case and the first of equal keys counts. A value holding a line break, a NUL
// or half of a surrogate pair is written as "key\=" followed by the value with "\\" for a
// backslash and "\uXXXX" for each such character. The section's first line, kMarker, says
// so. A section without it was written by the toolkit's INI format and is read by that
// format's rules (quotes, backslash escapes, ";" comments, "@@" for "@") until the first
// change writes the whole section in the plain form.
class SettingsFile {
public:
    static constexpr auto kMarker =
        "; Values are read as written, to the end of the line; a key written as key\\= holds "
        "\\\\ for \\ and \\uXXXX escapes.";

    SettingsFile(const QByteArray& bytes, const QString& section);

    std::optional<QString> value(const QString& key) const;
    void setValue(const QString& key, const QString& value);
    QByteArray bytes() const;

private:
    struct Line {
        Line(QByteArray lineText, bool inSection) : text(std::move(lineText)), ours(inSection) {}
        QByteArray text;  // as read, without the '\n' that ends it
        bool ours = false;
        bool entry = false;
        bool changed = false;
        QString key;
        QString value;
    };

    bool isOurHeader(const QByteArray& text) const;
    void readEntry(Line& line) const;
    qsizetype endOfSection() const;

    QString section_;
    QList<Line> lines_;
    bool plain_ = false;  // the section carries the marker
};

}  // namespace culvex
