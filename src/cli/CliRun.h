#pragma once

#include "choices/TypedNumbers.h"
#include "engine/TextFileWriter.h"

#include <ostream>
#include <string>
#include <vector>

namespace culvex::cli {

// What a run talks to; main() gives the process's own, tests their files.
struct CliStreams {
    int input = 0;   // read for the FILE "-"
    int output = 1;  // written when no -o is given
    std::ostream& errors;
    bool errorsOnTerminal = false;  // show the progress line there
    bool outputOnTerminal = false;  // write each row as soon as its line is done
    std::string settingsPath;       // the window's settings file, for --use-settings
    NumberFormat numbers;           // the user's number format, for typed numbers
    FileCalls& files = FileCalls::system();
};

enum ExitStatus { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Runs culvex-extract with the arguments after the program name; returns its exit status.
int runCli(const std::vector<std::string>& args, CliStreams& streams);

}  // namespace culvex::cli
