#pragma once

#include <QApplication>

namespace culvex::testing {

// The one QApplication of a test program, created by the first test that needs widgets.
// It lives until the process ends: destroying it among the exit handlers would run after
// Qt's own global objects are gone.
inline QApplication& ensureQtApplication() {
    static int argc = 1;
    static char name[] = "culvex_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace culvex::testing
