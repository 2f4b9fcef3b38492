#include "platform/BlockingCall.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

namespace culvex {
namespace {

constexpr std::chrono::milliseconds kPlenty{60'000};

TEST(BlockingCall, EventsRunWhileTheWorkBlocks) {
    char name[] = "test";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication application(argc, argv);
    std::atomic<bool> eventRan = false;
    QTimer::singleShot(0, [&] { eventRan = true; });
    std::thread::id workThread;
    EXPECT_TRUE(runBlocking(
        [&] {
            workThread = std::this_thread::get_id();
            const QDeadlineTimer deadline(10000);
            while (!eventRan && !deadline.hasExpired()) {
                QThread::msleep(1);
            }
        },
        kPlenty));
    EXPECT_TRUE(eventRan);
    EXPECT_NE(workThread, std::this_thread::get_id());
}

// Runs the test's body once without and once with a Qt application object.
void withAndWithoutApplication(const std::function<void()>& body) {
    for (bool withApplication : {false, true}) {
        SCOPED_TRACE(withApplication ? "with an application" : "without an application");
        char name[] = "test";
        char* argv[] = {name, nullptr};
        int argc = 1;
        std::optional<QCoreApplication> application;
        if (withApplication) {
            application.emplace(argc, argv);
        }
        body();
    }
}

TEST(BlockingCall, RethrowsTheWorksFailure) {
    withAndWithoutApplication([] {
        EXPECT_THROW((void)runBlocking([] { throw std::invalid_argument("refused"); }, kPlenty),
                     std::invalid_argument);
    });
}

TEST(BlockingCall, WorkPastTheLimitIsLeftRunningAndTheCallReturns) {
    withAndWithoutApplication([] {
        std::promise<void> answer;
        auto finished = std::make_shared<std::atomic<bool>>(false);
        EXPECT_FALSE(runBlocking(
            [answered = answer.get_future().share(), finished] {
                answered.wait();
                *finished = true;
            },
            std::chrono::milliseconds(20)));
        EXPECT_FALSE(*finished);
        answer.set_value();
        const QDeadlineTimer deadline(10000);
        while (!*finished && !deadline.hasExpired()) {
            QThread::msleep(1);
        }
        EXPECT_TRUE(*finished);
    });
}

// Closing the window quits the application while an office call waits for good.
void quitWhileWorkWaits() {
    char name[] = "test";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication application(argc, argv);
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    std::promise<void> never;
    (void)runBlocking([answered = never.get_future().share()] { answered.wait(); }, kPlenty);
    std::exit(1);
}

TEST(BlockingCallDeathTest, QuittingTheApplicationEndsTheProgramWhileWorkWaits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(quitWhileWorkWaits(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace culvex
