#pragma once

#include "command/ErrorReport.h"

#include <utility>

namespace culvex {

// Runs a procedure as a sequence of labelled steps. A step that fails shows the error
// report naming its label, and the procedure goes on with the next step. A conditional
// whose test fails runs its then-part, as if the test had been true.
//
//   ProtectedProcedure proc(dialogs, formLocation("PushButton7_Click"));
//   proc.step(102, [&] { busy = true; });
//   if (proc.test(104, [&] { return files.count() == 0; })) { ... }
class ProtectedProcedure {
public:
    ProtectedProcedure(Dialogs& dialogs, QString location,
                       QString caption = applicationErrorCaption())
        : dialogs_(dialogs), location_(std::move(location)), caption_(std::move(caption)) {}

    // Runs one step; true when it finished without failure.
    template <class Body>
    bool step(int label, Body&& body) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (...) {
            report(std::current_exception(), label);
            return false;
        }
    }

    // Evaluates a conditional's test; a failing test counts as true.
    template <class Condition>
    bool test(int label, Condition&& condition) {
        try {
            return static_cast<bool>(std::forward<Condition>(condition)());
        } catch (...) {
            report(std::current_exception(), label);
            return true;
        }
    }

    // Shows the report for a failure that a step's own code caught.
    void report(const std::exception_ptr& failure, int label) {
        showErrorReport(dialogs_, describeFailure(failure), location_, label, caption_);
    }

    Dialogs& dialogs() { return dialogs_; }

private:
    Dialogs& dialogs_;
    QString location_;
    QString caption_;
};

}  // namespace culvex
