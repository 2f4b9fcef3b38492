#include "choices/SettingKeys.h"
#include "cli/CliRun.h"

#include <unistd.h>
#include <clocale>
#include <iostream>

namespace {

// The decimal point and group separator of the user's locale (LC_ALL, LC_NUMERIC, LANG);
// everything else keeps reading numbers in the C locale.
culvex::NumberFormat userNumberFormat() {
    culvex::NumberFormat format;
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const std::lconv* numbers = std::localeconv();
        format = {numbers->decimal_point, numbers->thousands_sep};
        std::setlocale(LC_NUMERIC, "C");
    }
    return format;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    culvex::cli::CliStreams streams{.input = STDIN_FILENO,
                                    .output = STDOUT_FILENO,
                                    .errors = std::cerr,
                                    .errorsOnTerminal = ::isatty(STDERR_FILENO) == 1,
                                    .settingsPath = culvex::setting::filePath(),
                                    .numbers = userNumberFormat()};
    return culvex::cli::runCli({argv + 1, argv + argc}, streams);
}
