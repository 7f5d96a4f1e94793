#pragma once

#include <QTimer>

#include "platform/IntervalTimer.h"

namespace quorvel {

class QtIntervalTimer final : public IntervalTimer {
public:
    QtIntervalTimer();

    void setTick(std::function<void()> tick) override { tick_ = std::move(tick); }
    void setInterval(int milliseconds) override;
    [[nodiscard]] int interval() const override { return interval_; }

private:
    QTimer timer_;
    std::function<void()> tick_;
    int interval_ = 0;
};

}  // namespace quorvel
