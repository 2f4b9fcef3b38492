#include "choices/SettingKeys.h"

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace culvex::setting {

std::string filePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && *config == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/Quillbrook/Quillbrook.ini";
}

std::string option(int number) { return "Option" + std::to_string(number); }
std::string text(int number) { return "Text" + std::to_string(number); }

std::string_view defaultText(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 21> kDefaults{{
        {"Option1", "1"},     {"Option2", "0"}, {"Option3", "1"},    {"Option4", "0"},
        {"Option7", "1"},     {"Option8", "0"}, {"Option9", "1"},    {"Option10", "0"},
        {"Option11", "1"},    {"Text1", "1"},   {"Text2", "a"},      {"Text3", "5"},
        {"Text4", "a"},       {"Text5", ","},   {kCheck1, "0"},      {kExtension, "csv"},
        {kLastFolder, ""},    {kSnapshot, ""},  {kEncoding, "Auto"}, {kPreviewWindow, ""},
        {kQuotedFields, "0"},
    }};
    for (const auto& [name, value] : kDefaults) {
        if (name == key) {
            return value;
        }
    }
    throw std::out_of_range("Unknown setting " + std::string(key));
}

}  // namespace culvex::setting
