#pragma once

#include <functional>

#include "platform/IntervalTimer.h"
#include "platform/windows/MessageTarget.h"

namespace quorvel {

// A system timer on a message-only window of its own, ticking from the message loop of
// the thread that made it.
class WinIntervalTimer final : public IntervalTimer, private win::MessageTarget {
public:
    WinIntervalTimer();
    ~WinIntervalTimer() override;
    WinIntervalTimer(const WinIntervalTimer&) = delete;
    WinIntervalTimer& operator=(const WinIntervalTimer&) = delete;

    void setTick(std::function<void()> tick) override { tick_ = std::move(tick); }
    void setInterval(int milliseconds) override;
    [[nodiscard]] int interval() const override { return interval_; }

private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND window_ = nullptr;
    std::function<void()> tick_;
    int interval_ = 0;
};

}  // namespace quorvel
