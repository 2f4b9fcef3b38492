#pragma once

#include "cli/ExtractChoices.h"

#include <map>
#include <string>

namespace culvex::cli {

// The window's settings file: $XDG_CONFIG_HOME/Quillbrook/Quillbrook.ini, or
// ~/.config/Quillbrook/Quillbrook.ini when XDG_CONFIG_HOME is not set.
std::string windowSettingsPath();

// The keys of the [Culvex] group of an INI settings file, values unquoted and unescaped.
// A missing file has no keys; a file that exists but cannot be read throws
// std::runtime_error naming it and the reason.
std::map<std::string, std::string> readSettingsGroup(const std::string& path);

// The choices the window would open with from these stored keys: an absent key takes its
// default, and in each group of option buttons the last one stored as true wins. Throws
// std::runtime_error naming the key whose stored text is not a boolean or a number.
ExtractChoices choicesFromSettings(const std::map<std::string, std::string>& keys);

}  // namespace culvex::cli
