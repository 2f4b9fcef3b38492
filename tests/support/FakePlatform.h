#pragma once

#include "command/WindowPointer.h"
#include "platform/Clipboard.h"
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
