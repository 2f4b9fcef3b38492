#pragma once

#include <functional>

namespace culvex {

// Runs work that blocks for a long time (a call into another process) on a worker thread
// while this thread waits in a local event loop, so the window keeps repainting and taking
// input meanwhile. Returns when the work is done and rethrows its failure. Without a Qt
// application object (command-line tools) the work simply runs on a worker thread.
void runBlocking(const std::function<void()>& work);

}  // namespace culvex
