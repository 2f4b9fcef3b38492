#include "cli/CliRun.h"
#include "cli/StoredSettings.h"

#include <unistd.h>
#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    culvex::cli::CliStreams streams{.input = STDIN_FILENO,
                                    .output = STDOUT_FILENO,
                                    .errors = std::cerr,
                                    .errorsOnTerminal = ::isatty(STDERR_FILENO) == 1,
                                    .settingsPath = culvex::cli::windowSettingsPath()};
    return culvex::cli::runCli({argv + 1, argv + argc}, streams);
}
