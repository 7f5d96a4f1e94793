#pragma once

#include <QApplication>

namespace quorvel::testing {

// The one application object that widget tests need, made on first use and kept to the
// end: destroying it among the exit handlers races Qt's own global teardown. Without a
// platform chosen, the offscreen one is used so that no display is required.
inline QApplication& qtTestApp() {
    static int argc = 1;
    static char name[] = "quorvel-test";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace quorvel::testing
