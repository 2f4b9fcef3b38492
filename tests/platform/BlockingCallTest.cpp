#include "platform/BlockingCall.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <optional>
#include <stdexcept>
#include <thread>

namespace culvex {
namespace {

TEST(BlockingCall, EventsRunWhileTheWorkBlocks) {
    char name[] = "test";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication application(argc, argv);
    std::atomic<bool> eventRan = false;
    QTimer::singleShot(0, [&] { eventRan = true; });
    std::thread::id workThread;
    runBlocking([&] {
        workThread = std::this_thread::get_id();
        const QDeadlineTimer deadline(10000);
        while (!eventRan && !deadline.hasExpired()) {
            QThread::msleep(1);
        }
    });
    EXPECT_TRUE(eventRan);
    EXPECT_NE(workThread, std::this_thread::get_id());
}

TEST(BlockingCall, RethrowsTheWorksFailure) {
    for (bool withApplication : {false, true}) {
        char name[] = "test";
        char* argv[] = {name, nullptr};
        int argc = 1;
        std::optional<QCoreApplication> application;
        if (withApplication) {
            application.emplace(argc, argv);
        }
        EXPECT_THROW(runBlocking([] { throw std::invalid_argument("refused"); }),
                     std::invalid_argument);
    }
}

}  // namespace
}  // namespace culvex
