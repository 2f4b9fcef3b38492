#include "cli/ExtractChoices.h"

#include "engine/PositionNumber.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace culvex::cli {
namespace {

// A typed position as a 32-bit whole number, rounded half to even; nothing when the whole
// text is not a number or lies out of range.
std::optional<std::int32_t> wholeNumber(const std::string& text) {
    const char* const begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    while (end != nullptr && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

constexpr std::string_view kNoStart = "You forgot to input the start position.";
constexpr std::string_view kNoEnd = "You forgot to input the end position.";
constexpr std::string_view kEndBeforeStart = "End position must be greater than start position.";
constexpr std::string_view kNoStartMarker = "You forgot to input the start character.";
constexpr std::string_view kNoEndMarker = "You forgot to input the end character.";

// Start and end both by number: a number that cannot be converted is refused like an end
// before the start.
std::optional<std::string_view> numbersProblem(const ExtractChoices& choices) {
    if (choices.endNumber.empty()) {
        return kNoEnd;
    }
    const auto start = wholeNumber(choices.startNumber);
    const auto end = wholeNumber(choices.endNumber);
    if (!start || !end || *end < *start) {
        return kEndBeforeStart;
    }
    return std::nullopt;
}

std::optional<std::string_view> startProblem(const ExtractChoices& choices) {
    if (choices.startByNumber) {
        if (choices.startNumber.empty()) {
            return kNoStart;
        }
        if (choices.endByNumber) {
            if (auto problem = numbersProblem(choices)) {
                return problem;
            }
        }
    }
    if (choices.startByMarker && choices.startMarker.empty()) {
        return kNoStartMarker;
    }
    return std::nullopt;
}

// A marker given on the command line is matched as its own bytes, whatever they encode.
CodePageText literalText(const std::string& bytes) { return CodePageText{bytes, true, bytes, {}}; }

}  // namespace

std::optional<std::string_view> rangeProblem(const ExtractChoices& choices) {
    if (!choices.rangeOn) {
        return std::nullopt;
    }
    if (auto problem = startProblem(choices)) {
        return problem;
    }
    if (choices.endByNumber && choices.endNumber.empty()) {
        return kNoEnd;
    }
    if (choices.endByMarker && choices.endMarker.empty()) {
        return kNoEndMarker;
    }
    return std::nullopt;
}

Separator separatorOf(const ExtractChoices& choices) {
    switch (choices.separator) {
        case SeparatorKind::Space:
            return Separator(" ");
        case SeparatorKind::CommaSpace:
            return Separator(", ");
        case SeparatorKind::Comma:
            return Separator(",");
        case SeparatorKind::Tab:
            return Separator("\t");
        case SeparatorKind::Others:
            return Separator(choices.othersText);
        case SeparatorKind::None:
            break;
    }
    return Separator();
}

LineSettings lineSettingsOf(const ExtractChoices& choices) {
    LineSettings settings;
    settings.byRange = choices.rangeOn;
    settings.startByNumber = choices.startByNumber;
    settings.startByMarker = choices.startByMarker;
    settings.endByNumber = choices.endByNumber;
    settings.endByMarker = choices.endByMarker;
    settings.startIndex = columnIndexOf(choices.startNumber);
    settings.endIndex = columnIndexOf(choices.endNumber);
    settings.startMarker = literalText(choices.startMarker);
    settings.endMarker = literalText(choices.endMarker);
    return settings;
}

}  // namespace culvex::cli
