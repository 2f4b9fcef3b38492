#include "cli/StoredSettings.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace culvex::cli {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | ((code >> 12) & 0x0F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// One backslash escape at text[at] (the character after the backslash); returns the
// position after it.
std::size_t unescape(std::string_view text, std::size_t at, std::string& out) {
    const char c = text[at];
    static constexpr std::string_view kFrom = "abfnrtv0";
    static constexpr std::string_view kTo = "\a\b\f\n\r\t\v";
    if (c == 'x') {
        std::size_t end = at + 1;
        while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end])) != 0) {
            ++end;
        }
        appendUtf8(
            out, std::strtoul(std::string(text.substr(at + 1, end - at - 1)).c_str(), nullptr, 16));
        return end;
    }
    const auto known = kFrom.find(c);
    if (known == kFrom.size() - 1) {
        out.push_back('\0');
    } else if (known != std::string_view::npos) {
        out.push_back(kTo[known]);
    } else {
        out.push_back(c);
    }
    return at + 1;
}

// A value as the INI format stores a text: quoted parts keep their blanks, backslash
// escapes stand for one character, and a leading '@' (which would mark a type tag) is
// doubled or the text wrapped in @String(...).
std::string iniValue(std::string_view raw) {
    std::string out;
    bool quoted = false;
    for (std::size_t at = 0; at < raw.size();) {
        const char c = raw[at];
        if (c == '"') {
            quoted = !quoted;
            ++at;
        } else if (c == '\\' && at + 1 < raw.size()) {
            at = unescape(raw, at + 1, out);
        } else {
            out.push_back(c);
            ++at;
        }
    }
    static constexpr std::string_view kStringTag = "@String(";
    if (out.starts_with(kStringTag) && out.ends_with(')')) {
        out = out.substr(kStringTag.size(), out.size() - kStringTag.size() - 1);
    } else if (out.starts_with("@@")) {
        out.erase(0, 1);  // a text's own leading '@' is stored doubled
    }
    return out;
}

bool storedBoolean(const std::map<std::string, std::string>& keys, const std::string& key,
                   bool fallback) {
    const auto found = keys.find(key);
    if (found == keys.end()) {
        return fallback;
    }
    std::string lower = std::string(trimmed(found->second));
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == "true" || lower == "false") {
        return lower == "true";
    }
    char* end = nullptr;
    const double number = std::strtod(lower.c_str(), &end);
    if (lower.empty() || *end != '\0' || !std::isfinite(number)) {
        throw std::runtime_error("the stored setting " + key + " is not true, false or a number");
    }
    return number != 0;
}

std::string storedText(const std::map<std::string, std::string>& keys, const std::string& key,
                       const std::string& fallback) {
    const auto found = keys.find(key);
    return found == keys.end() ? fallback : found->second;
}

// The last button of a group stored as true is the one selected; with none, no button.
template <std::size_t N>
int lastTrue(const std::map<std::string, std::string>& keys, const int (&numbers)[N],
             const bool (&defaults)[N]) {
    int selected = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (storedBoolean(keys, "Option" + std::to_string(numbers[i]), defaults[i])) {
            selected = numbers[i];
        }
    }
    return selected;
}

}  // namespace

std::string windowSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && *config != '\0') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/Quillbrook/Quillbrook.ini";
}

std::map<std::string, std::string> readSettingsGroup(const std::string& path) {
    std::map<std::string, std::string> keys;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno == ENOENT) {
            return keys;
        }
        throw std::runtime_error("Cannot open " + path + ": " + std::strerror(errno));
    }
    bool inGroup = false;
    std::string line;
    while (std::getline(file, line)) {
        const std::string_view text = trimmed(line);
        if (text.starts_with('[')) {
            inGroup = text == "[Culvex]";
        } else if (const auto equals = text.find('=');
                   inGroup && equals != std::string_view::npos) {
            keys[std::string(trimmed(text.substr(0, equals)))] =
                iniValue(trimmed(text.substr(equals + 1)));
        }
    }
    if (file.bad()) {
        throw std::runtime_error("Cannot read " + path + ": " + std::strerror(errno));
    }
    return keys;
}

ExtractChoices choicesFromSettings(const std::map<std::string, std::string>& keys) {
    ExtractChoices choices;
    const int start = lastTrue(keys, {1, 2}, {true, false});
    const int end = lastTrue(keys, {3, 4}, {true, false});
    const int separator = lastTrue(keys, {7, 8, 9, 10, 11}, {true, false, true, false, true});
    choices.startByNumber = start == 1;
    choices.startByMarker = start == 2;
    choices.endByNumber = end == 3;
    choices.endByMarker = end == 4;
    choices.separator =
        separator == 0 ? SeparatorKind::None : static_cast<SeparatorKind>(separator - 6);
    choices.startNumber = storedText(keys, "Text1", choices.startNumber);
    choices.startMarker = storedText(keys, "Text2", choices.startMarker);
    choices.endNumber = storedText(keys, "Text3", choices.endNumber);
    choices.endMarker = storedText(keys, "Text4", choices.endMarker);
    choices.othersText = storedText(keys, "Text5", choices.othersText);
    const std::string check = std::string(trimmed(storedText(keys, "Check1", "0")));
    char* checkEnd = nullptr;
    const double value = std::strtod(check.c_str(), &checkEnd);
    if (check.empty() || *checkEnd != '\0' || !std::isfinite(value)) {
        throw std::runtime_error("the stored setting Check1 is not a number");
    }
    choices.rangeOn = std::nearbyint(value) == 1;
    return choices;
}

}  // namespace culvex::cli
