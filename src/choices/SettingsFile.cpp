#include "choices/SettingsFile.h"

#include "choices/AsciiText.h"
#include "engine/TextEncoding.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace culvex {

namespace {

using ascii::equalsIgnoringCase;
using ascii::trimmed;

std::string_view withoutBreak(std::string_view line) {
    if (line.starts_with(utf8::kByteOrderMark)) {
        line.remove_prefix(utf8::kByteOrderMark.size());
    }
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::optional<std::string_view> headerName(std::string_view text) {
    const std::string_view line = trimmed(withoutBreak(text));
    if (line.size() < 2 || !line.starts_with('[') || !line.ends_with(']')) {
        return std::nullopt;
    }
    return trimmed(line.substr(1, line.size() - 2));
}

// The UTF-16 unit of a lone surrogate's three bytes at text[i], or 0.
char16_t surrogateAt(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xED ||
        (static_cast<unsigned char>(text[i + 1]) & 0xE0) != 0xA0 ||
        (static_cast<unsigned char>(text[i + 2]) & 0xC0) != 0x80) {
        return 0;
    }
    return static_cast<char16_t>(0xD000 | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F));
}

bool needsEscapes(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n' || c == '\0' || surrogateAt(value, i) != 0) {
            return true;
        }
    }
    return false;
}

std::string unitEscape(char16_t unit) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(unit));
    return text;
}

bool isHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The value with backslashes doubled, line breaks, NULs and lone surrogates as "\uXXXX".
// Escapes of a high and a low surrogate side by side read back as one character, so a low
// surrogate right after an escaped high one keeps its own three bytes.
std::string escaped(std::string_view value) {
    std::string result;
    bool afterHigh = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char16_t unit = surrogateAt(value, i);
        if (c == '\\') {
            result += "\\\\";
        } else if (c == '\r' || c == '\n' || c == '\0') {
            result += unitEscape(static_cast<char16_t>(c));
        } else if (unit != 0) {
            result += afterHigh && isLow(unit) ? std::string(value.substr(i, 3)) : unitEscape(unit);
            i += 2;
        } else {
            result += c;
        }
        afterHigh = unit != 0 && isHigh(unit);
    }
    return result;
}

// The UTF-16 unit of "\uXXXX" (exactly four hexadecimal digits) at text[i].
std::optional<char16_t> unitEscapeAt(std::string_view text, std::size_t i) {
    if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u') {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(i + 2, 4);
    if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<char16_t>(std::stoul(std::string(digits), nullptr, 16));
}

// The inverse of escaped(); a backslash before anything else stays as written. Two escapes
// that make a surrogate pair are one character.
std::string unescaped(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<char16_t> unit = unitEscapeAt(text, i);
        const std::optional<char16_t> next = unit ? unitEscapeAt(text, i + 6) : std::nullopt;
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            result += '\\';
            i += 1;
        } else if (unit && next && isHigh(*unit) && isLow(*next)) {
            utf8::append(result, 0x10000 + ((*unit - 0xD800) << 10) + (*next - 0xDC00));
            i += 11;
        } else if (unit) {
            utf8::append(result, *unit);
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

// One escape of the toolkit's INI format, starting after the backslash at text[i]; a
// numeric escape gives one UTF-16 unit.
std::size_t oldEscape(std::string_view text, std::size_t i, std::string& out) {
    static constexpr std::string_view kLetters = "abfnrtv\"'\\?";
    static constexpr std::string_view kCodes = "\a\b\f\n\r\t\v\"'\\?";
    const char c = text[i];
    if (const auto k = kLetters.find(c); k != std::string_view::npos) {
        out += kCodes[k];
        return i + 1;
    }
    const bool isHex = c == 'x';
    const std::size_t start = isHex ? i + 1 : i;
    std::size_t end = start;
    while (end < text.size() && isDigit(text[end], isHex)) {
        ++end;
    }
    if (end == start) {
        out += c;
        return i + 1;
    }
    // The toolkit reads a number too large for 32 bits as 0.
    std::uint64_t code = 0;
    for (std::size_t d = start; d < end && code <= 0xFFFFFFFFU; ++d) {
        const char digit = static_cast<char>(text[d] | 0x20);
        code = code * (isHex ? 16 : 8) +
               static_cast<unsigned>(digit <= '9' ? digit - '0' : digit - 'a' + 10);
    }
    code = code > 0xFFFFFFFFU ? 0 : code;
    utf8::append(out, static_cast<char16_t>(code));
    return end;
}

// A value as the toolkit's INI format wrote it: outer spaces dropped, quotes removed,
// backslash escapes decoded, ";" ends the value, and "@@" stands for a leading "@".
std::string oldValue(std::string_view raw) {
    const std::string_view text = trimmed(raw);
    std::string out;
    std::size_t quotedEnd = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size();) {
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
    while (out.size() > quotedEnd && (out.ends_with(' ') || out.ends_with('\t'))) {
        out.pop_back();
    }
    constexpr std::string_view kStringTag = "@String(";
    if (out.starts_with(kStringTag) && out.ends_with(')')) {
        return out.substr(kStringTag.size(), out.size() - kStringTag.size() - 1);
    }
    return out.starts_with("@@") ? out.substr(1) : out;
}

}  // namespace

bool SettingsFile::isOurHeader(std::string_view text) const {
    const std::optional<std::string_view> name = headerName(text);
    return name.has_value() && equalsIgnoringCase(*name, section_);
}

SettingsFile::SettingsFile(std::string_view bytes, std::string_view section) : section_(section) {
    bool ours = false;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view text = bytes.substr(start, end - start);
        start = end + 1;
        if (headerName(text).has_value()) {
            ours = isOurHeader(text);
            sectionCrlf_ = sectionCrlf_ || (ours && text.ends_with('\r'));
            lines_.emplace_back(std::string(text), false).original = true;
            continue;
        }
        lines_.emplace_back(std::string(text), ours).original = true;
        plain_ = plain_ || (ours && withoutBreak(text) == kMarker);
    }
    endsWithBreak_ = bytes.empty() || bytes.ends_with('\n');
    for (Line& line : lines_) {
        readEntry(line);
    }
}

void SettingsFile::readEntry(Line& line) const {
    const std::string_view text = withoutBreak(line.text);
    const std::size_t equals = text.find('=');
    if (!line.ours || equals == 0 || equals == std::string_view::npos ||
        trimmed(text).starts_with(';')) {
        return;
    }
    std::string_view key = trimmed(text.substr(0, equals));
    const std::string_view rest = text.substr(equals + 1);
    if (!plain_) {
        line.value = oldValue(rest);
    } else if (key.ends_with('\\')) {
        key.remove_suffix(1);
        line.value = unescaped(rest);
    } else {
        line.value = rest;
    }
    line.key = trimmed(key);
    line.entry = !line.key.empty();
}

std::optional<std::string> SettingsFile::value(std::string_view key) const {
    for (const Line& line : lines_) {
        if (line.entry && equalsIgnoringCase(line.key, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

void SettingsFile::setValue(std::string_view key, std::string_view value) {
    for (Line& line : lines_) {
        if (line.entry && equalsIgnoringCase(line.key, key)) {
            line.value = value;
            line.changed = true;
            return;
        }
    }
    const std::ptrdiff_t end = endOfSection();
    if (end < 0) {
        if (!lines_.empty() && !trimmed(withoutBreak(lines_.back().text)).empty()) {
            lines_.emplace_back(std::string(), false);
        }
        lines_.emplace_back('[' + section_ + ']', false);
        lines_.emplace_back(std::string(kMarker), true);
        plain_ = true;
    }
    Line line(std::string(), true);
    line.crlf = sectionCrlf_;
    line.entry = true;
    line.changed = true;
    line.key = key;
    line.value = value;
    lines_.insert(end < 0 ? lines_.end() : lines_.begin() + end, std::move(line));
}

// Where a new key goes: after the last line of the program's section that is not blank,
// or -1 when the file has no such section.
std::ptrdiff_t SettingsFile::endOfSection() const {
    std::ptrdiff_t end = -1;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (isOurHeader(lines_[i].text) ||
            (lines_[i].ours && !trimmed(withoutBreak(lines_[i].text)).empty())) {
            end = static_cast<std::ptrdiff_t>(i) + 1;
        }
    }
    return end;
}

std::string SettingsFile::bytes() const {
    std::string out;
    bool marked = plain_;
    for (const Line& line : lines_) {
        if (rewritten(line)) {
            const bool escape = needsEscapes(line.value);
            out += line.key;
            out += escape ? "\\=" : "=";
            out += escape ? escaped(line.value) : line.value;
            out += line.crlf ? "\r\n" : "\n";
        } else {
            out += line.text;
            out += '\n';
        }
        if (!marked && isOurHeader(line.text)) {
            out += kMarker;
            out += line.crlf ? "\r\n" : "\n";
            marked = true;
        }
    }
    const Line* last = lines_.empty() ? nullptr : &lines_.back();
    if (!endsWithBreak_ && last != nullptr && last->original && !rewritten(*last) &&
        out.ends_with(last->text + '\n')) {
        out.pop_back();
    }
    return out;
}

std::string readSettingsBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return {};
        }
        throw std::runtime_error(std::generic_category().message(errno));
    }
    std::string bytes;
    char block[16384];
    ssize_t got = 0;
    while ((got = ::read(fd, block, sizeof block)) != 0) {
        if (got > 0) {
            bytes.append(block, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    const int error = errno;
    ::close(fd);
    if (got < 0) {
        throw std::runtime_error(std::generic_category().message(error));
    }
    return bytes;
}

}  // namespace culvex
