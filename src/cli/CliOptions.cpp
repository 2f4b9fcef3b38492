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
    "  --end N | --end last | --end-marker TEXT\n"
    "                                      last column by number, the last column,\n"
    "                                      or the last that ends with TEXT\n"
    "                                      (default: the last column; with\n"
    "                                      --use-settings the stored end)\n"
    "Other options:\n"
    "  --quoted             fields may be in double quotes: a quoted field keeps\n"
    "                       separators and line breaks, \"\" in it is one quote\n"
    "  --use-settings       start from the window's stored settings\n"
    "  --format lines|spaced|comma|records   output format (default lines)\n"
    "  --join TEXT          between the columns of a record (default a tab)\n"
    "  --escapes            read \\\\, \\t, \\s (space) and \\xHH in every TEXT\n"
    "  --line-buffered      write each row as soon as its line is read\n"
    "  -o, --output FILE    write to FILE, replacing it only when complete\n"
    "  -h, --help, --version\n"
    "Exit status: 0 done, 1 a file could not be read, a line had too many columns\n"
    "or the output was not written, 2 a usage error or refused settings.\n";

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
    if (name == "records") {
        return OutputFormat::Records;
    }
    throw std::invalid_argument("unknown format '" + name + "' (lines, spaced, comma or records)");
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
        return (c | 0x20) - 'a' + 10;
    }
    return -1;
}

void readEscapesIn(CliOptions& options) {
    options.typedSeparator = readEscapes(options.typedSeparator);
    options.join = readEscapes(options.join);
    for (std::optional<std::string>* text : {&options.startMarker, &options.endMarker}) {
        if (*text) {
            **text = readEscapes(**text);
        }
    }
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
    } else if (name == "--join") {
        options.join = value;
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
    } else if (arg == "--line-buffered") {
        options.lineBuffered = true;
    } else if (arg == "--escapes") {
        options.escapes = true;
    } else if (arg == "--quoted") {
        options.quoted = true;
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
    if (options.escapes) {
        readEscapesIn(options);
    }
    return options;
}

std::string readEscapes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char kind = i + 1 < text.size() ? text[++i] : '\0';
        if (kind == '\\' || kind == 't' || kind == 's') {
            bytes += kind == 't' ? '\t' : kind == 's' ? ' ' : '\\';
        } else if (kind == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            throw std::invalid_argument("unknown escape in '" + std::string(text) +
                                        "' (\\\\, \\t, \\s or \\xHH)");
        }
    }
    return bytes;
}

bool endsAtLastColumn(const CliOptions& options) {
    if (options.endNumber || options.endMarker) {
        return options.endNumber == "last";
    }
    return (options.startNumber || options.startMarker) && !options.useSettings;
}

void applyOptions(const CliOptions& options, ExtractionChoices& choices) {
    if (options.quoted) {
        choices.quoted = true;
    }
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
    if (endsAtLastColumn(options)) {
        takeEnd(true, kLastColumn);
    } else if (options.endNumber) {
        takeEnd(true, *options.endNumber);
    } else if (options.endMarker) {
        takeEnd(false, *options.endMarker);
    }
}

}  // namespace culvex::cli
