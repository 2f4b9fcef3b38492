#pragma once

#include <csignal>
#include <string>

namespace culvex::cli {

// Makes SIGINT, SIGTERM and SIGHUP remove the file tracked below before the program ends
// by the signal as it would have without a handler (exit status 128+N to a shell).
void removeTrackedFileOnSignals();

// The file a signal removes (at most one; empty: none), such as the temporary file of an
// output not yet put in place.
void trackFile(const std::string& path);

// Holds the signals above back while it lives, so that a file created under it is
// tracked before a signal can end the program.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t before_;
};

}  // namespace culvex::cli
