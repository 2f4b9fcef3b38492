#pragma once

#include "platform/CommandProgress.h"

namespace culvex {

// CommandProgress for benchmarks that run a command without its window: nothing shown, never
// stopped.
class NoProgress final : public CommandProgress {
public:
    void begin(const QString&, Counted) override {}
    void file(int, int, const QString&) override {}
    void advance(std::int64_t, std::int64_t, std::int64_t) override {}
    bool stopRequested() const override { return false; }
    void end() override {}
};

}  // namespace culvex
