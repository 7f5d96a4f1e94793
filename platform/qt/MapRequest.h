#pragma once

#include <QTimer>

class QWidget;
class QWindow;

namespace quorvel {

// Asks the X window manager once more to map a window that Qt has shown. A manager that
// is still starting up can hold a map request back until some other request reaches it;
// repeating the request lets it act. Does nothing on other window systems.
void repeatMapRequest(const QWindow& window);

// Repeats the map request of a shown top-level widget now and then, at growing intervals,
// until its window is first exposed. On a quiet display nothing else would wake a window
// manager that holds the first request back, and the window would stay unmapped for good.
class MapRetry {
public:
    explicit MapRetry(QWidget& widget);

    // Call right after the widget was shown.
    void start();

private:
    void retry();

    QWidget& widget_;
    QTimer timer_;
    int retries_ = 0;
};

}  // namespace quorvel
