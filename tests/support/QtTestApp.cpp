// The one QApplication of the test binary, made on first use (gtest_main owns main).
#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <cstdlib>

QApplication& testApp() {
    static int argc = 1;
    static char name[] = "pelorin-test";
    static char* argv[] = {name, nullptr};
    // Kept for the whole run and never destroyed: Qt's own statics go first at exit.
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// fontconfig keeps a little memory of its own for the process's life, which LeakSanitizer
// reports at exit; it is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
