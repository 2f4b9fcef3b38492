#pragma once

#include "engine/LineSettings.h"
#include "engine/Separator.h"

#include <optional>
#include <string>
#include <string_view>

namespace culvex::cli {

// Which separator splits a line, as the window's separator buttons offer them.
enum class SeparatorKind { None, Space, CommaSpace, Comma, Tab, Others };

// The extraction choices of one command-line run, as the window's settings panel holds
// them: texts as typed, checked only when the run starts.
struct ExtractChoices {
    bool rangeOn = false;
    bool startByNumber = true;
    bool startByMarker = false;
    bool endByNumber = true;
    bool endByMarker = false;
    std::string startNumber = "1";
    std::string startMarker = "a";
    std::string endNumber = "5";
    std::string endMarker = "a";
    SeparatorKind separator = SeparatorKind::Others;
    std::string othersText = ",";
};

// The window's checks of the start and end settings, in the window's order; the message
// of the first that fails, or nothing when the range is off or every check passes.
std::optional<std::string_view> rangeProblem(const ExtractChoices& choices);

// The separator and the per-line settings the engine runs with. Markers and the typed
// separator are matched as the bytes given on the command line.
Separator separatorOf(const ExtractChoices& choices);
LineSettings lineSettingsOf(const ExtractChoices& choices);

}  // namespace culvex::cli
