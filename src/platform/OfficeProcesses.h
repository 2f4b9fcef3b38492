#pragma once

#include <sys/types.h>
#include <set>
#include <string>

namespace culvex {

// The office processes this program has started and that still run: its descendants
// named soffice, soffice.bin or oosplash (the office's start-up watchdog). The office
// starts through a script and a watchdog, so the process that does the work is not this
// program's own child.
std::set<pid_t> startedOfficeProcesses();

// Ends the processes at once. Returns what kept any of them from ending, in the system's
// words, or an empty text when all were ended (or had already gone).
std::string endProcesses(const std::set<pid_t>& processes);

}  // namespace culvex
