#pragma once

#include <string>
#include <string_view>

namespace culvex::setting {

// The settings file's location: $XDG_CONFIG_HOME/Quillbrook/Quillbrook.ini, or
// ~/.config/Quillbrook/Quillbrook.ini when XDG_CONFIG_HOME is not set or not absolute.
std::string filePath();

// The section of the settings file that holds the program's keys.
inline constexpr std::string_view kSection = "Culvex";

// The keys, each named after the control or command it belongs to.
std::string option(int number);  // "Option1" ... "Option11"
std::string text(int number);    // "Text1" ... "Text5"
inline constexpr std::string_view kCheck1 = "Check1";
inline constexpr std::string_view kEncoding = "Encoding";
// "1" when fields may be in double quotes, "0" (the default) when every line is split plainly.
inline constexpr std::string_view kQuotedFields = "QuotedFields";
inline constexpr std::string_view kExtension = "Extension";
inline constexpr std::string_view kLastFolder = "LastFolder";
inline constexpr std::string_view kSnapshot = "Snapshot";
// The preview window's place, "left,top,width,height"; empty until it is moved or resized.
inline constexpr std::string_view kPreviewWindow = "PreviewWindow";

// The text a key reads as when it was never written ("1"/"0" for the option keys, which
// take their default as a number). Throws std::out_of_range for a key not in the table.
std::string_view defaultText(std::string_view key);

}  // namespace culvex::setting
