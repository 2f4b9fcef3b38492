#pragma once

namespace culvex {

// Lets the window repaint and take input during a long loop. Loops call yield() as often
// as they like (once per row, per file, per character); the implementation decides how
// often the event loop really runs.
class Yielder {
public:
    virtual ~Yielder() = default;
    virtual void yield() = 0;
};

}  // namespace culvex
