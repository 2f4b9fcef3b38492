#include "platform/BlockingCall.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <exception>
#include <thread>

namespace culvex {

void runBlocking(const std::function<void()>& work) {
    std::exception_ptr failure;
    const auto attempt = [&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    if (QCoreApplication::instance() == nullptr) {
        std::thread(attempt).join();
    } else {
        QEventLoop waiting;
        std::thread worker([&] {
            attempt();
            QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
        });
        waiting.exec();
        worker.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace culvex
