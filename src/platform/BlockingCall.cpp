#include "platform/BlockingCall.h"

#include "engine/TextFileWriter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace culvex {

namespace {

// What the waiting thread and the worker share; it lives as long as either needs it.
struct Call {
    std::function<void()> work;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr failure;
    // The event loop to wake when the work is done, while one waits for it.
    QEventLoop* waiting = nullptr;
};

void perform(Call& call) {
    std::exception_ptr failure;
    try {
        call.work();
    } catch (...) {
        failure = std::current_exception();
    }
    const std::lock_guard lock(call.mutex);
    call.failure = failure;
    call.done = true;
    call.finished.notify_all();
    if (call.waiting != nullptr) {
        QMetaObject::invokeMethod(call.waiting, &QEventLoop::quit, Qt::QueuedConnection);
    }
}

bool waitInEventLoop(Call& call, std::chrono::milliseconds limit) {
    QEventLoop waiting;
    bool late = false;
    QTimer::singleShot(limit, &waiting, [&] {
        late = true;
        waiting.quit();
    });
    {
        const std::lock_guard lock(call.mutex);
        if (call.done) {
            return true;
        }
        call.waiting = &waiting;
    }
    waiting.exec();
    const std::lock_guard lock(call.mutex);
    call.waiting = nullptr;
    if (!call.done && !late) {
        // Neither the work nor the time limit ended the wait: the application is quitting.
        TextFileWriter::removeUnfinished();
        std::_Exit(0);
    }
    return call.done;
}

bool waitFor(Call& call, std::chrono::milliseconds limit) {
    std::unique_lock lock(call.mutex);
    return call.finished.wait_for(lock, limit, [&] { return call.done; });
}

}  // namespace

bool runBlocking(std::function<void()> work, std::chrono::milliseconds limit) {
    auto call = std::make_shared<Call>();
    call->work = std::move(work);
    std::thread worker([call] { perform(*call); });
    const bool done = QCoreApplication::instance() != nullptr ? waitInEventLoop(*call, limit)
                                                              : waitFor(*call, limit);
    if (!done) {
        worker.detach();
        return false;
    }
    worker.join();
    if (call->failure) {
        std::rethrow_exception(call->failure);
    }
    return true;
}

}  // namespace culvex
