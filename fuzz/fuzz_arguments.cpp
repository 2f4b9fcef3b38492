// Bytes -> the command line's arguments, split at NUL bytes. Runs the parser and the
// options over the window's first-run choices under the sanitizers; a usage error is the
// only failure allowed.
#include "cli/CliOptions.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    try {
        const culvex::cli::CliOptions options = culvex::cli::parseArguments(args);
        culvex::ExtractionChoices choices;
        culvex::cli::applyOptions(options, choices);
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
