#include "platform/QtYielder.h"

#include <QCoreApplication>

namespace culvex {

QtYielder::QtYielder(int intervalMs) : intervalMs_(intervalMs) { sinceLast_.start(); }

void QtYielder::yield() {
    if (sinceLast_.elapsed() < intervalMs_) {
        return;
    }
    QCoreApplication::processEvents();
    sinceLast_.restart();
}

}  // namespace culvex
