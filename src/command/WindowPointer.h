#pragma once

namespace culvex {

enum class PointerState { Default, Custom, Busy, Arrow };

// The main window's one pointer setting. Long commands set Busy while they run; the
// list-editing commands do nothing while it shows, and hovering never replaces it.
class WindowPointer {
public:
    virtual ~WindowPointer() = default;
    virtual void setPointer(PointerState state) = 0;
    virtual PointerState pointer() const = 0;
    bool isBusy() const { return pointer() == PointerState::Busy; }
};

}  // namespace culvex
