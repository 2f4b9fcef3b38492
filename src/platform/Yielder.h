#pragma once

namespace culvex {

// Lets the window repaint and take input during a long loop. Loops call yield() as often
// as they like (once per row, per file, per character); the implementation decides how
// often the event loop really runs.
class Yielder {
public:
    virtual ~Yielder() = default;
    virtual void yield() = 0;
    // Whether the next yield() runs the event loop. A loop asks before work that only the
    // window needs, such as handing the rows so far to the view.
    virtual bool due() const { return true; }
    // The window has closed: a command still running must not carry on unseen, so the
    // program ends at its next yield.
    virtual void endProgram() = 0;
};

}  // namespace culvex
