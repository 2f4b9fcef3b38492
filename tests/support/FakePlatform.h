#pragma once

#include "command/WindowPointer.h"
#include "platform/Clipboard.h"
#include "platform/CommandProgress.h"
#include "platform/ScreenMouse.h"
#include "platform/Shell.h"
#include "platform/Yielder.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace culvex::testing {

// A yielder that counts its calls and can run a test's action at a given call, to act
// "while the command yields" (click again, edit a list, clear results).
class ScriptedYielder final : public Yielder {
public:
    int calls = 0;
    bool ended = false;
    std::function<void(int call)> onYield;
    void endProgram() override { ended = true; }
    void yield() override {
        ++calls;
        if (onYield) {
            onYield(calls);
        }
    }
};

// Records what commands report of their progress; a test sets `stop` (usually while the
// command yields) as the user's click on Stop.
class ScriptedProgress final : public CommandProgress {
public:
    QStringList tasks;  // begun, in order
    int ended = 0;
    QStringList files;  // "n of m: name"
    std::int64_t done = 0;
    std::int64_t total = 0;
    std::int64_t count = 0;
    bool stop = false;
    void begin(const QString& task, Counted) override { tasks << task; }
    void file(int number, int count, const QString& name) override {
        files << QStringLiteral("%1 of %2: %3").arg(number).arg(count).arg(name);
    }
    void advance(std::int64_t d, std::int64_t t, std::int64_t c) override {
        done = d;
        total = t;
        count = c;
    }
    bool stopRequested() const override { return stop; }
    void end() override { ++ended; }
};

class RecordingPointer final : public WindowPointer {
public:
    std::vector<PointerState> history;
    void setPointer(PointerState state) override {
        state_ = state;
        history.push_back(state);
    }
    PointerState pointer() const override { return state_; }

private:
    PointerState state_ = PointerState::Default;
};

// A clipboard that refuses the first `refusals` attempts of each kind.
class FakeClipboard final : public Clipboard {
public:
    QString text;
    bool cleared = false;
    int refusals = 0;
    int clearAttempts = 0;
    int setAttempts = 0;
    bool tryClear() override {
        if (++clearAttempts <= refusals) {
            return false;
        }
        cleared = true;
        text.clear();
        return true;
    }
    bool trySetText(const QString& value) override {
        if (++setAttempts <= refusals) {
            return false;
        }
        text = value;
        return true;
    }
};

// A mouse that stays where the test puts it.
class FixedMouse final : public ScreenMouse {
public:
    QPoint at{0, 330};
    QPoint position() const override { return at; }
};

class FakeShell final : public Shell {
public:
    QStringList opened;
    bool openFolder(const QString& path) override {
        opened << path;
        return true;
    }
};

}  // namespace culvex::testing
