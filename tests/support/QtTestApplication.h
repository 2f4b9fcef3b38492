#pragma once

#include <QApplication>

namespace culvex::testing {

// The one QApplication of a test program, created by the first test that needs widgets.
inline QApplication& ensureQtApplication() {
    static int argc = 1;
    static char name[] = "culvex_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace culvex::testing
