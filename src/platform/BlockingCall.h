#pragma once

#include <chrono>
#include <functional>

namespace culvex {

// Runs work that blocks for a long time (a call into another process) on a worker thread
// while this thread waits in a local event loop, so the window keeps repainting and taking
// input meanwhile. Returns true when the work is done, rethrowing its failure. Returns false
// when the work has not finished within `limit`: the worker is then left to finish on its
// own, so `work` must hold by value everything it touches. Without a Qt application object
// (command-line tools) this thread simply waits.
//
// When the application quits while the work waits (the window has closed), the program
// ends at once: a worker stuck in another process would otherwise keep it alive for good,
// and every setting is already on disk.
[[nodiscard]] bool runBlocking(std::function<void()> work, std::chrono::milliseconds limit);

}  // namespace culvex
