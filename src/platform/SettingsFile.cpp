#include "platform/SettingsFile.h"

#include <algorithm>
#include <cctype>

namespace culvex {

namespace {

QByteArray withoutBreak(const QByteArray& text) {
    QByteArray line = text;
    if (line.startsWith("\xEF\xBB\xBF")) {
        line.remove(0, 3);
    }
    return line.endsWith('\r') ? line.chopped(1) : line;
}

std::optional<QString> headerName(const QByteArray& text) {
    const QByteArray line = withoutBreak(text).trimmed();
    if (line.size() < 2 || !line.startsWith('[') || !line.endsWith(']')) {
        return std::nullopt;
    }
    return QString::fromUtf8(line.mid(1, line.size() - 2).trimmed());
}

bool isLoneSurrogate(const QString& text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate()) {
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    }
    return c.isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate());
}

bool mustEscape(const QString& text, qsizetype i) {
    const QChar c = text[i];
    return c == u'\r' || c == u'\n' || c == QChar(0) || isLoneSurrogate(text, i);
}

bool needsEscapes(const QString& value) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (mustEscape(value, i)) {
            return true;
        }
    }
    return false;
}

QString escaped(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            result += QStringLiteral("\\\\");
        } else if (mustEscape(value, i)) {
            result += QStringLiteral("\\u%1").arg(value[i].unicode(), 4, 16, QChar(u'0'));
        } else {
            result += value[i];
        }
    }
    return result;
}

// The UTF-16 unit of exactly four hexadecimal digits.
std::optional<char16_t> hexUnit(const QString& digits) {
    const bool allHex =
        digits.size() == 4 && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) {
            return QStringLiteral("0123456789abcdefABCDEF").contains(c);
        });
    return allHex ? std::optional<char16_t>(static_cast<char16_t>(digits.toUInt(nullptr, 16)))
                  : std::nullopt;
}

// The inverse of escaped(); a backslash before anything else stays as written.
QString unescaped(const QString& text) {
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString next = text.mid(i + 1, 1);
        const std::optional<char16_t> unit =
            next == u"u" ? hexUnit(text.mid(i + 2, 4)) : std::nullopt;
        if (text[i] == u'\\' && next == u"\\") {
            result += u'\\';
            i += 1;
        } else if (text[i] == u'\\' && unit) {
            result += QChar(*unit);
            i += 5;
        } else {
            result += text[i];
        }
    }
    return result;
}

bool isDigit(char c, bool hex) {
    return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : c >= '0' && c <= '7';
}

// One escape of the toolkit's INI format, starting after the backslash at text[i].
qsizetype oldEscape(const QByteArray& text, qsizetype i, QByteArray& out) {
    static const QByteArray kLetters = "abfnrtv\"'\\?";
    static const QByteArray kCodes = "\a\b\f\n\r\t\v\"'\\?";
    const char c = text[i];
    if (const qsizetype k = kLetters.indexOf(c); k >= 0) {
        out += kCodes[k];
        return i + 1;
    }
    const bool isHex = c == 'x';
    const qsizetype start = isHex ? i + 1 : i;
    qsizetype end = start;
    while (end < text.size() && isDigit(text[end], isHex)) {
        ++end;
    }
    if (end == start) {
        out += c;
        return i + 1;
    }
    const uint code = text.mid(start, end - start).toUInt(nullptr, isHex ? 16 : 8);
    out += QString(QChar(static_cast<char16_t>(code))).toUtf8();
    return end;
}

// A value as the toolkit's INI format wrote it: outer spaces dropped, quotes removed,
// backslash escapes decoded, ";" ends the value, and "@@" stands for a leading "@".
QString oldValue(const QByteArray& raw) {
    const QByteArray text = raw.trimmed();
    QByteArray out;
    qsizetype quotedEnd = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            i = oldEscape(text, i + 1, out);
            quotedEnd = out.size();
        } else if (c == '"') {
            quoted = !quoted;
            quotedEnd = out.size();
            ++i;
        } else if (c == ';' && !quoted) {
            break;
        } else {
            out += c;
            ++i;
        }
    }
    while (out.size() > quotedEnd && (out.endsWith(' ') || out.endsWith('\t'))) {
        out.chop(1);
    }
    QString value = QString::fromUtf8(out);
    if (value.startsWith(QStringLiteral("@String(")) && value.endsWith(u')')) {
        return value.mid(8, value.size() - 9);
    }
    return value.startsWith(QStringLiteral("@@")) ? value.mid(1) : value;
}

}  // namespace

bool SettingsFile::isOurHeader(const QByteArray& text) const {
    const std::optional<QString> name = headerName(text);
    return name.has_value() && name->compare(section_, Qt::CaseInsensitive) == 0;
}

SettingsFile::SettingsFile(const QByteArray& bytes, const QString& section) : section_(section) {
    QList<QByteArray> texts = bytes.split('\n');
    if (bytes.isEmpty() || bytes.endsWith('\n')) {
        texts.removeLast();
    }
    bool ours = false;
    for (const QByteArray& text : texts) {
        if (headerName(text).has_value()) {
            ours = isOurHeader(text);
            lines_.append(Line(text, false));
            continue;
        }
        lines_.append(Line(text, ours));
        plain_ = plain_ || (ours && withoutBreak(text) == kMarker);
    }
    for (Line& line : lines_) {
        readEntry(line);
    }
}

void SettingsFile::readEntry(Line& line) const {
    const QByteArray text = withoutBreak(line.text);
    const qsizetype equals = text.indexOf('=');
    if (!line.ours || equals <= 0 || text.trimmed().startsWith(';')) {
        return;
    }
    QString key = QString::fromUtf8(text.left(equals)).trimmed();
    const QByteArray rest = text.mid(equals + 1);
    if (!plain_) {
        line.value = oldValue(rest);
    } else if (key.endsWith(u'\\')) {
        key.chop(1);
        line.value = unescaped(QString::fromUtf8(rest));
    } else {
        line.value = QString::fromUtf8(rest);
    }
    line.key = key.trimmed();
    line.entry = !line.key.isEmpty();
}

std::optional<QString> SettingsFile::value(const QString& key) const {
    for (const Line& line : lines_) {
        if (line.entry && line.key.compare(key, Qt::CaseInsensitive) == 0) {
            return line.value;
        }
    }
    return std::nullopt;
}

void SettingsFile::setValue(const QString& key, const QString& value) {
    for (Line& line : lines_) {
        if (line.entry && line.key.compare(key, Qt::CaseInsensitive) == 0) {
            line.value = value;
            line.changed = true;
            return;
        }
    }
    const qsizetype end = endOfSection();
    if (end < 0) {
        if (!lines_.isEmpty() && !withoutBreak(lines_.last().text).trimmed().isEmpty()) {
            lines_.append(Line(QByteArray(), false));
        }
        lines_.append(Line('[' + section_.toUtf8() + ']', false));
        lines_.append(Line(QByteArray(kMarker), true));
        plain_ = true;
    }
    Line line(QByteArray(), true);
    line.entry = true;
    line.changed = true;
    line.key = key;
    line.value = value;
    lines_.insert(end < 0 ? lines_.size() : end, line);
}

// Where a new key goes: after the last line of the program's section that is not blank,
// or -1 when the file has no such section.
qsizetype SettingsFile::endOfSection() const {
    qsizetype end = -1;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (isOurHeader(lines_[i].text) ||
            (lines_[i].ours && !withoutBreak(lines_[i].text).trimmed().isEmpty())) {
            end = i + 1;
        }
    }
    return end;
}

QByteArray SettingsFile::bytes() const {
    QByteArray out;
    bool marked = plain_;
    for (const Line& line : lines_) {
        if (line.entry && (line.changed || !plain_)) {
            const bool escape = needsEscapes(line.value);
            out += (line.key + (escape ? QStringLiteral("\\=") : QStringLiteral("=")) +
                    (escape ? escaped(line.value) : line.value))
                       .toUtf8();
        } else {
            out += line.text;
        }
        out += '\n';
        if (!marked && isOurHeader(line.text)) {
            out += QByteArray(kMarker) + '\n';
            marked = true;
        }
    }
    return out;
}

}  // namespace culvex
