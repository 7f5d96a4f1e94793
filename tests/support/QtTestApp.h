#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <chrono>
#include <functional>

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

// Processes events until `done`, for at most a generous while on a loaded machine; the
// loop waits as the program's does, so redraws go out before it sleeps.
inline bool waitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A pixel as 0x00RRGGBB, whatever the image keeps in its top byte.
inline QRgb rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFU;
}

}  // namespace quorvel::testing
