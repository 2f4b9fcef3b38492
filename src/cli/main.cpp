#include "choices/SettingKeys.h"
#include "cli/CliRun.h"
#include "cli/SignalCleanup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <clocale>
#include <cstdlib>
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

// Opens /dev/null on each of descriptors 0 to 2 that is closed, so that no file opened
// later takes its number and receives what was meant for standard output or error.
void openStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF &&
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) < 0) {
            std::_Exit(culvex::cli::kExitFailed);
        }
    }
}

bool sameTerminal(int a, int b) {
    struct stat first {};
    struct stat second {};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_rdev == second.st_rdev &&
           first.st_ino == second.st_ino;
}

}  // namespace

int main(int argc, char** argv) {
    openStandardDescriptors();
    culvex::cli::removeTrackedFileOnSignals();
    std::ios::sync_with_stdio(false);
    const bool outputOnTerminal = ::isatty(STDOUT_FILENO) == 1;
    // The progress line never shares a terminal with the rows.
    const bool progressShown = ::isatty(STDERR_FILENO) == 1 &&
                               !(outputOnTerminal && sameTerminal(STDOUT_FILENO, STDERR_FILENO));
    culvex::cli::CliStreams streams{.input = STDIN_FILENO,
                                    .output = STDOUT_FILENO,
                                    .errors = std::cerr,
                                    .errorsOnTerminal = progressShown,
                                    .outputOnTerminal = outputOnTerminal,
                                    .settingsPath = culvex::setting::filePath(),
                                    .numbers = userNumberFormat()};
    return culvex::cli::runCli({argv + 1, argv + argc}, streams);
}
