#pragma once

#include "platform/Yielder.h"

#include <cstdint>

namespace culvex {

// Runs the Qt event loop at most once per interval, so that a loop over ten million rows
// spends its time in its own work and still keeps the window live.
class QtYielder final : public Yielder {
public:
    explicit QtYielder(int intervalMs = 20);
    void yield() override;
    bool due() const override;
    void endProgram() override { ending_ = true; }

private:
    bool ending_ = false;
    std::int64_t lastMs_;
    int intervalMs_;
};

}  // namespace culvex
