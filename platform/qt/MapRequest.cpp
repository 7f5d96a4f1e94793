#include "platform/qt/MapRequest.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace quorvel {
namespace {

// The first repeat, doubled each time up to the longest, and how many at most.
constexpr int kFirstRetryMilliseconds = 500;
constexpr int kLongestRetryMilliseconds = 8000;
constexpr int kRetries = 12;

}  // namespace

void repeatMapRequest(const QWindow& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    xcb_map_window(connection, static_cast<xcb_window_t>(window.winId()));
    xcb_flush(connection);
}

MapRetry::MapRetry(QWidget& widget) : widget_(widget) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &widget_, [this] { retry(); });
}

void MapRetry::start() {
    retries_ = 0;
    timer_.start(kFirstRetryMilliseconds);
}

void MapRetry::retry() {
    const QWindow* window = widget_.windowHandle();
    if (!widget_.isVisible() || window == nullptr || window->isExposed() || ++retries_ > kRetries) {
        return;
    }
    repeatMapRequest(*window);
    timer_.start(std::min(timer_.interval() * 2, kLongestRetryMilliseconds));
}

}  // namespace quorvel
