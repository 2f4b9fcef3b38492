#pragma once

#include "choices/ExtractionChoices.h"
#include "cli/ResultsOutput.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace culvex::cli {

// What the command line asked for. The extraction options given override the choices
// the run starts from (the window's first-run choices, or its stored settings).
struct CliOptions {
    bool help = false;
    bool version = false;
    bool useSettings = false;
    bool lineBuffered = false;  // every row written as soon as its line is done
    bool escapes = false;       // TEXT values read with backslash escapes
    bool quoted = false;        // fields may be in double quotes
    std::optional<SeparatorChoice> separator;
    std::string typedSeparator;
    std::optional<std::string> startNumber;
    std::optional<std::string> startMarker;
    std::optional<std::string> endNumber;
    std::optional<std::string> endMarker;
    OutputFormat format = OutputFormat::Lines;
    std::string join = "\t";  // between the fields of a record
    std::optional<std::string> outputPath;
    std::vector<std::string> files;  // "-" is standard input
};

// The end number the range checks see for the last column: the highest the index holds.
inline constexpr const char* kLastColumn = "32768";

// Reads the arguments after the program name. Throws std::invalid_argument with a
// one-line description of a usage error. With --escapes the TEXT values are read as
// readEscapes() reads them.
CliOptions parseArguments(const std::vector<std::string>& args);

// `text` with \\, \t, \s (a space) and \xHH turned into the bytes they stand for, so that
// any text can be passed without white space. Throws std::invalid_argument on another
// escape.
std::string readEscapes(std::string_view text);

// Whether the range ends at each line's last column: "--end last", or a start given alone
// on the command line (not with --use-settings, whose stored end stays).
bool endsAtLastColumn(const CliOptions& options);

// Applies the extraction options given to `choices`; a start or end option turns the
// range on.
void applyOptions(const CliOptions& options, ExtractionChoices& choices);

extern const char* const kUsage;

}  // namespace culvex::cli
