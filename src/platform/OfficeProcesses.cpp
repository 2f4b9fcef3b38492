#include "platform/OfficeProcesses.h"

#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace culvex {

namespace {

struct ProcessEntry {
    pid_t parent = 0;
    std::string name;
    bool running = false;
};

// The name, state and parent of a process from its /proc stat line; the name is
// parenthesised and may itself hold spaces and parentheses.
bool readEntry(const std::filesystem::path& folder, ProcessEntry& entry) {
    std::ifstream file(folder / "stat");
    std::string line;
    if (!std::getline(file, line)) {
        return false;
    }
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return false;
    }
    entry.name = line.substr(open + 1, close - open - 1);
    char state = 0;
    long parent = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) != 2) {
        return false;
    }
    entry.parent = static_cast<pid_t>(parent);
    entry.running = state != 'Z' && state != 'X';
    return true;
}

// Every process that can be read; processes end while the table is read and are left out.
std::map<pid_t, ProcessEntry> processTable() {
    std::map<pid_t, ProcessEntry> table;
    std::error_code error;
    for (const auto& folder : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = folder.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        ProcessEntry entry;
        if (readEntry(folder.path(), entry)) {
            table.emplace(static_cast<pid_t>(std::stol(name)), std::move(entry));
        }
    }
    return table;
}

bool descendsFrom(const std::map<pid_t, ProcessEntry>& table, pid_t process, pid_t ancestor) {
    for (auto entry = table.find(process); entry != table.end();
         entry = table.find(entry->second.parent)) {
        if (entry->second.parent == ancestor) {
            return true;
        }
    }
    return false;
}

bool isOffice(const std::string& name) {
    return name == "oosplash" || name.rfind("soffice", 0) == 0;
}

}  // namespace

std::set<pid_t> startedOfficeProcesses() {
    const auto table = processTable();
    std::set<pid_t> offices;
    for (const auto& [process, entry] : table) {
        if (entry.running && isOffice(entry.name) && descendsFrom(table, process, getpid())) {
            offices.insert(process);
        }
    }
    return offices;
}

std::string endProcesses(const std::set<pid_t>& processes) {
    std::string failures;
    for (const pid_t process : processes) {
        if (::kill(process, SIGKILL) == 0) {
            continue;
        }
        const int error = errno;
        if (error != ESRCH) {
            failures += "The spreadsheet's process " + std::to_string(process) +
                        " could not be ended: " + std::strerror(error) + ". ";
        }
    }
    if (!failures.empty()) {
        failures.pop_back();
    }
    return failures;
}

}  // namespace culvex
