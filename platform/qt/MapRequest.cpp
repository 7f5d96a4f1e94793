#include "platform/qt/MapRequest.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QWindow>

namespace quorvel {

void repeatMapRequest(const QWindow& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    xcb_map_window(connection, static_cast<xcb_window_t>(window.winId()));
    xcb_flush(connection);
}

}  // namespace quorvel
