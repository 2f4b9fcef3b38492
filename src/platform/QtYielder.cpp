#include "platform/QtYielder.h"

#include "engine/TextFileWriter.h"

#include <time.h>
#include <QCoreApplication>
#include <cstdlib>

namespace culvex {

namespace {

// Loops call yield() once per row, so the clock is read ten million times in a long
// save. The coarse monotonic clock costs a fifth of the precise one and is exact to a
// few milliseconds, which is all a yield interval needs.
std::int64_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

QtYielder::QtYielder(int intervalMs) : lastMs_(nowMs()), intervalMs_(intervalMs) {}

bool QtYielder::due() const { return nowMs() - lastMs_ >= intervalMs_; }

void QtYielder::yield() {
    if (!due()) {
        return;
    }
    QCoreApplication::processEvents();
    if (ending_) {
        // The window closed while this command yielded. Every setting is already on disk
        // and a save in progress has not replaced its target yet, so the user's files
        // stay as they were.
        TextFileWriter::removeUnfinished();
        std::_Exit(0);
    }
    lastMs_ = nowMs();
}

}  // namespace culvex
