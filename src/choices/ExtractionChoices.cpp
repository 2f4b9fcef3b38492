#include "choices/ExtractionChoices.h"

#include "choices/AsciiText.h"
#include "choices/SettingKeys.h"
#include "choices/TypedText.h"

#include <array>
#include <stdexcept>

namespace culvex {
namespace {

constexpr std::array<SeparatorChoice, 5> kSeparatorButtons{
    SeparatorChoice::Space, SeparatorChoice::CommaSpace, SeparatorChoice::Comma,
    SeparatorChoice::Tab, SeparatorChoice::Typed};

std::string storedText(const StoredValues& stored, std::string_view key) {
    return stored(key).value_or(std::string(setting::defaultText(key)));
}

bool storedBoolean(const StoredValues& stored, const std::string& key, const NumberFormat& user) {
    try {
        return toBoolean(storedText(stored, key), user);
    } catch (const std::exception&) {
        throw StoredChoiceError("the stored setting " + key + " is not true, false or a number");
    }
}

// The number of the last button of a group stored as selected, or 0.
int lastSelected(const StoredValues& stored, int first, int last, const NumberFormat& user) {
    int selected = 0;
    for (int option = first; option <= last; ++option) {
        if (storedBoolean(stored, setting::option(option), user)) {
            selected = option;
        }
    }
    return selected;
}

bool storedCheck1(const StoredValues& stored, const NumberFormat& user) {
    const std::string key(setting::kCheck1);
    int value = 0;
    try {
        value = toShortInteger(storedText(stored, key), user);
    } catch (const std::exception&) {
        throw StoredChoiceError("the stored setting " + key + " is not a number");
    }
    if (value != 0 && value != 1) {
        throw StoredChoiceError("the stored setting " + key + " is neither 0 nor 1");
    }
    return value == 1;
}

}  // namespace

SeparatorChoice separatorOfOption(int option) {
    if (option < kFirstSeparatorOption || option > kLastSeparatorOption) {
        return SeparatorChoice::None;
    }
    return kSeparatorButtons[static_cast<std::size_t>(option - kFirstSeparatorOption)];
}

std::string_view fixedSeparatorText(SeparatorChoice choice) {
    switch (choice) {
        case SeparatorChoice::Space:
            return " ";
        case SeparatorChoice::CommaSpace:
            return ", ";
        case SeparatorChoice::Comma:
            return ",";
        case SeparatorChoice::Tab:
            return "\t";
        case SeparatorChoice::Typed:
        case SeparatorChoice::None:
            break;
    }
    return {};
}

std::string_view encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Windows1252:
            return "Windows-1252";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Auto:
            break;
    }
    return "Auto";
}

TextEncoding encodingNamed(std::string_view name) {
    const std::string_view word = ascii::trimmed(name);
    for (const TextEncoding encoding : kEncodings) {
        if (ascii::equalsIgnoringCase(word, encodingName(encoding))) {
            return encoding;
        }
    }
    return TextEncoding::Auto;
}

bool quotedFieldsOn(std::string_view stored) { return ascii::trimmed(stored) == "1"; }

ExtractionChoices storedChoices(const StoredValues& stored, const NumberFormat& user) {
    ExtractionChoices choices;
    const int start = lastSelected(stored, 1, 2, user);
    const int end = lastSelected(stored, 3, 4, user);
    choices.startByNumber = start == 1;
    choices.startByMarker = start == 2;
    choices.endByNumber = end == 3;
    choices.endByMarker = end == 4;
    choices.separator =
        separatorOfOption(lastSelected(stored, kFirstSeparatorOption, kLastSeparatorOption, user));
    choices.startNumber = storedText(stored, setting::text(1));
    choices.startMarker = storedText(stored, setting::text(2));
    choices.endNumber = storedText(stored, setting::text(3));
    choices.endMarker = storedText(stored, setting::text(4));
    choices.typedSeparator = storedText(stored, setting::text(5));
    choices.rangeOn = storedCheck1(stored, user);
    choices.quoted = quotedFieldsOn(storedText(stored, setting::kQuotedFields));
    choices.encoding = encodingNamed(storedText(stored, setting::kEncoding));
    return choices;
}

Separator separatorOf(const ExtractionChoices& choices) {
    if (choices.separator == SeparatorChoice::Typed) {
        const CodePageText text = typedText(choices.typedSeparator);
        return Separator(text.bytes, text.representable, text.utf8);
    }
    if (choices.separator == SeparatorChoice::None) {
        return Separator();
    }
    return Separator(std::string(fixedSeparatorText(choices.separator)));
}

LineSettings lineSettingsOf(const ExtractionChoices& choices) {
    LineSettings settings;
    settings.byRange = choices.rangeOn;
    settings.startByNumber = choices.startByNumber;
    settings.startByMarker = choices.startByMarker;
    settings.endByNumber = choices.endByNumber;
    settings.endByMarker = choices.endByMarker;
    settings.startIndex = columnIndexOf(choices.startNumber);
    settings.endIndex = columnIndexOf(choices.endNumber);
    settings.startMarker = typedText(choices.startMarker);
    settings.endMarker = typedText(choices.endMarker);
    settings.encoding = choices.encoding;
    settings.fold = foldCharacter;
    settings.quoted = choices.quoted;
    return settings;
}

}  // namespace culvex
