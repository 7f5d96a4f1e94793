#include "platform/qt/QtIntervalTimer.h"

namespace quorvel {

QtIntervalTimer::QtIntervalTimer() {
    // One wake-up per tick: a coarse timer may be aligned with others, which is fine here.
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (tick_) {
            tick_();
        }
    });
}

void QtIntervalTimer::setInterval(int milliseconds) {
    interval_ = milliseconds;
    // A QTimer with interval 0 would fire on every pass of the event loop; 0 means no ticks.
    if (milliseconds <= 0) {
        timer_.stop();
        return;
    }
    timer_.start(milliseconds);
}

}  // namespace quorvel
