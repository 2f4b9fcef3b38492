#pragma once

#include "choices/ExtractionChoices.h"
#include "cli/ResultsOutput.h"

#include <optional>
#include <string>
#include <vector>

namespace culvex::cli {

// What the command line asked for. The extraction options given override the choices
// the run starts from (the window's first-run choices, or its stored settings).
struct CliOptions {
    bool help = false;
    bool version = false;
    bool useSettings = false;
    std::optional<SeparatorChoice> separator;
    std::string typedSeparator;
    std::optional<std::string> startNumber;
    std::optional<std::string> startMarker;
    std::optional<std::string> endNumber;
    std::optional<std::string> endMarker;
    OutputFormat format = OutputFormat::Lines;
    std::optional<std::string> outputPath;
    std::vector<std::string> files;  // "-" is standard input
};

// Reads the arguments after the program name. Throws std::invalid_argument with a
// one-line description of a usage error.
CliOptions parseArguments(const std::vector<std::string>& args);

// Applies the extraction options given to `choices`; a start or end option turns the
// range on.
void applyOptions(const CliOptions& options, ExtractionChoices& choices);

extern const char* const kUsage;

}  // namespace culvex::cli
