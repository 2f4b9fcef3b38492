#include "cli/CliOptions.h"

#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace culvex::cli {

const char* const kUsage =
    "Usage: culvex-extract [OPTIONS] FILE...\n"
    "Extracts columns from every line of the FILEs (- reads standard input).\n"
    "\n"
    "Separator (default: --others ,):\n"
    "  --space | --comma-space | --comma | --tab | --others TEXT\n"
    "Range of columns (any of these turns it on; without them every column):\n"
    "  --start N | --start-marker TEXT     first column by number, or the first\n"
    "                                      that begins with TEXT\n"
    "  --end N | --end-marker TEXT         last column by number, or the last\n"
    "                                      that ends with TEXT (default: --end 5)\n"
    "Other options:\n"
    "  --use-settings       start from the window's stored settings\n"
    "  --format lines|spaced|comma   output format (default lines)\n"
    "  -o, --output FILE    write to FILE, replacing it only when complete\n"
    "  --help, --version\n"
    "Exit status: 0 done, 1 a file could not be read or the output not written,\n"
    "2 a usage error or refused settings.\n";

namespace {

constexpr std::array<std::pair<std::string_view, SeparatorChoice>, 4> kSeparators{{
    {"--space", SeparatorChoice::Space},
    {"--comma-space", SeparatorChoice::CommaSpace},
    {"--comma", SeparatorChoice::Comma},
    {"--tab", SeparatorChoice::Tab},
}};

OutputFormat formatNamed(const std::string& name) {
    if (name == "lines") {
        return OutputFormat::Lines;
    }
    if (name == "spaced") {
        return OutputFormat::Spaced;
    }
    if (name == "comma") {
        return OutputFormat::Comma;
    }
    throw std::invalid_argument("unknown format '" + name + "' (lines, spaced or comma)");
}

// Options that take a value, given as "--name VALUE" or "--name=VALUE".
bool takeValued(CliOptions& options, std::string_view name, const std::string& value) {
    if (name == "--others") {
        options.separator = SeparatorChoice::Typed;
        options.typedSeparator = value;
    } else if (name == "--start") {
        options.startNumber = value;
        options.startMarker.reset();
    } else if (name == "--start-marker") {
        options.startMarker = value;
        options.startNumber.reset();
    } else if (name == "--end") {
        options.endNumber = value;
        options.endMarker.reset();
    } else if (name == "--end-marker") {
        options.endMarker = value;
        options.endNumber.reset();
    } else if (name == "--format") {
        options.format = formatNamed(value);
    } else if (name == "-o" || name == "--output") {
        options.outputPath = value;
    } else {
        return false;
    }
    return true;
}

bool takeFlag(CliOptions& options, std::string_view arg) {
    for (const auto& [name, kind] : kSeparators) {
        if (arg == name) {
            options.separator = kind;
            return true;
        }
    }
    if (arg == "--help" || arg == "-h") {
        options.help = true;
    } else if (arg == "--version") {
        options.version = true;
    } else if (arg == "--use-settings") {
        options.useSettings = true;
    } else {
        return false;
    }
    return true;
}

// Takes the option at args[at]; returns how many of the arguments after it were its value.
std::size_t takeOption(CliOptions& options, const std::vector<std::string>& args, std::size_t at) {
    const std::string& arg = args[at];
    const auto equals = arg.find('=');
    if (equals != std::string::npos &&
        takeValued(options, std::string_view(arg).substr(0, equals), arg.substr(equals + 1))) {
        return 0;
    }
    if (takeFlag(options, arg)) {
        return 0;
    }
    if (at + 1 < args.size() && takeValued(options, arg, args[at + 1])) {
        return 1;
    }
    if (takeValued(options, arg, {})) {
        throw std::invalid_argument("option " + arg + " needs a value");
    }
    throw std::invalid_argument("unknown option " + arg);
}

}  // namespace

CliOptions parseArguments(const std::vector<std::string>& args) {
    CliOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            options.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            i += takeOption(options, args, i);
        }
    }
    if (options.files.empty() && !options.help && !options.version) {
        throw std::invalid_argument("no FILE given");
    }
    return options;
}

void applyOptions(const CliOptions& options, ExtractionChoices& choices) {
    if (options.separator) {
        choices.separator = *options.separator;
        if (*options.separator == SeparatorChoice::Typed) {
            choices.typedSeparator = options.typedSeparator;
        }
    }
    const auto takeStart = [&](bool byNumber, const std::string& text) {
        choices.rangeOn = true;
        choices.startByNumber = byNumber;
        choices.startByMarker = !byNumber;
        (byNumber ? choices.startNumber : choices.startMarker) = text;
    };
    const auto takeEnd = [&](bool byNumber, const std::string& text) {
        choices.rangeOn = true;
        choices.endByNumber = byNumber;
        choices.endByMarker = !byNumber;
        (byNumber ? choices.endNumber : choices.endMarker) = text;
    };
    if (options.startNumber) {
        takeStart(true, *options.startNumber);
    } else if (options.startMarker) {
        takeStart(false, *options.startMarker);
    }
    if (options.endNumber) {
        takeEnd(true, *options.endNumber);
    } else if (options.endMarker) {
        takeEnd(false, *options.endMarker);
    }
}

}  // namespace culvex::cli
