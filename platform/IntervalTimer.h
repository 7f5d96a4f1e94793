#pragma once

#include <functional>

namespace quorvel {

// A repeating timer on the GUI thread. An interval of 0 gives no ticks.
class IntervalTimer {
public:
    virtual ~IntervalTimer() = default;
    virtual void setTick(std::function<void()> tick) = 0;
    // Milliseconds, 0 to 65535; the caller checks the range.
    virtual void setInterval(int milliseconds) = 0;
    [[nodiscard]] virtual int interval() const = 0;
};

}  // namespace quorvel
