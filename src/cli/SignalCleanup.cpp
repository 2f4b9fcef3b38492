#include "cli/SignalCleanup.h"

#include <pthread.h>
#include <unistd.h>
#include <array>
#include <cstring>

namespace culvex::cli {
namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

// Written only while the signals are held, so the handler never sees half a path.
std::array<char, 4096> tracked{};

void removeAndEnd(int signal) {
    if (tracked[0] != '\0') {
        ::unlink(tracked.data());
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

sigset_t handledSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

}  // namespace

void removeTrackedFileOnSignals() {
    struct sigaction action {};
    action.sa_handler = removeAndEnd;
    action.sa_mask = handledSignals();
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

void trackFile(const std::string& path) {
    const SignalsHeld held;
    const std::size_t length = path.size() < tracked.size() ? path.size() : 0;
    std::memcpy(tracked.data(), path.data(), length);
    tracked[length] = '\0';
}

SignalsHeld::SignalsHeld() {
    const sigset_t set = handledSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &before_);
}

SignalsHeld::~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

}  // namespace culvex::cli
