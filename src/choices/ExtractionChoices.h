#pragma once

#include "choices/TypedNumbers.h"
#include "engine/LineSettings.h"
#include "engine/Separator.h"
#include "engine/TextEncoding.h"

#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace culvex {

// Which separator splits a line into columns: the panel's buttons Option7 ("Space") to
// Option11 ("Others:", the typed text); None when no button is selected.
enum class SeparatorChoice { None, Space, CommaSpace, Comma, Tab, Typed };

inline constexpr int kFirstSeparatorOption = 7;
inline constexpr int kLastSeparatorOption = 11;

// The choice of the separator button with this number (7 to 11).
SeparatorChoice separatorOfOption(int option);

// The separator text of a fixed choice; empty for Typed and None.
std::string_view fixedSeparatorText(SeparatorChoice choice);

// The Encoding setting's choices, in the order the window offers them.
inline constexpr std::array<TextEncoding, 3> kEncodings{
    TextEncoding::Auto, TextEncoding::Windows1252, TextEncoding::Utf8};

// The texts of the Encoding setting: "Auto", "Windows-1252" and "UTF-8".
std::string_view encodingName(TextEncoding encoding);
// A stored text as an encoding, letter case and outer white space ignored; any other is Auto.
TextEncoding encodingNamed(std::string_view name);

// The stored quoted-fields choice: only "1", with outer blanks, turns it on.
bool quotedFieldsOn(std::string_view stored);

// What an extraction run is asked to do, as the window's settings panel holds it: texts
// as typed (UTF-8), checked only when a run starts.
struct ExtractionChoices {
    bool rangeOn = false;  // a range of columns instead of every column
    bool startByNumber = false;
    bool startByMarker = false;
    bool endByNumber = false;
    bool endByMarker = false;
    std::string startNumber;
    std::string startMarker;
    std::string endNumber;
    std::string endMarker;
    SeparatorChoice separator = SeparatorChoice::None;
    std::string typedSeparator;
    TextEncoding encoding = TextEncoding::Auto;  // how lines are read for typed text
    bool quoted = false;                         // fields may be in double quotes
};

// A stored value that the window would refuse at start-up.
class StoredChoiceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The stored text of a key, or nothing when it was never written.
using StoredValues = std::function<std::optional<std::string>(std::string_view key)>;

// The choices the window opens with from these stored values: an absent key takes its
// default, and in each group of buttons the last one stored as true is selected (none when
// all are false). Throws StoredChoiceError naming a key whose text the window's restore
// refuses.
ExtractionChoices storedChoices(const StoredValues& stored, const NumberFormat& user);

// The separator and the per-line settings a run extracts with.
Separator separatorOf(const ExtractionChoices& choices);
LineSettings lineSettingsOf(const ExtractionChoices& choices);

}  // namespace culvex
