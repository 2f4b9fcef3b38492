#pragma once

#include "platform/Yielder.h"

#include <QString>
#include <cstdint>

namespace culvex {

// What a long command shows while it runs, and the user's request to stop it. A command
// reports its task, the file it works on and how far it has come; the window decides when
// and how to show that. A command that runs inside another one's yield (a copy started
// while an extraction runs) has its own task and its own Stop until it ends.
class CommandProgress {
public:
    // What the count so far counts.
    enum class Counted { Rows, Files };

    virtual ~CommandProgress() = default;
    virtual void begin(const QString& task, Counted counted) = 0;
    // The file worked on, the `number`th of `count` (from 1).
    virtual void file(int number, int count, const QString& name) = 0;
    // How far the bar has come: `done` of `total`, or a busy bar when the total is not
    // known (0); and the rows made or files found so far.
    virtual void advance(std::int64_t done, std::int64_t total, std::int64_t count) = 0;
    // True once the user asked the running command to stop; it then ends at its next
    // yield.
    virtual bool stopRequested() const = 0;
    virtual void end() = 0;
};

// Begins a task and ends it however the command leaves the scope.
class ProgressScope {
public:
    ProgressScope(CommandProgress& progress, const QString& task, CommandProgress::Counted counted)
        : progress_(progress) {
        progress_.begin(task, counted);
    }
    ~ProgressScope() { progress_.end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    CommandProgress& progress_;
};

// Yields to the window, first showing how far the command has come when the window is
// about to get its turn; true when the user has asked the command to stop. A stop can
// only be asked for while the window has its turn.
inline bool stopAtYield(Yielder& yielder, CommandProgress& progress, std::int64_t done,
                        std::int64_t total, std::int64_t count) {
    if (!yielder.due()) {
        return false;
    }
    progress.advance(done, total, count);
    yielder.yield();
    return progress.stopRequested();
}

}  // namespace culvex
