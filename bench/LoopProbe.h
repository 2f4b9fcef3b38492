#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace culvex::bench {

// The longest interval between two ticks of a timer that asks for a turn of the event
// loop every 10 ms, as a repaint or a click would: how long a command kept the window
// from repainting and taking clicks.
class LoopProbe {
public:
    LoopProbe() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.start();
    }
    double stopMs() {
        tick();
        timer_.stop();
        return static_cast<double>(longest_) / 1e6;
    }

private:
    void tick() {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

}  // namespace culvex::bench
