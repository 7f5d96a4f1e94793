#include "platform/windows/WinIntervalTimer.h"

#include "common/RuntimeError.h"

namespace quorvel {
namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

WinIntervalTimer::WinIntervalTimer()
    : window_(win::createTargetWindow(*this, {.name = L"QuorvelTimer"}, 0, 0, HWND_MESSAGE)) {
    if (window_ == nullptr) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the timer's window could not be created");
    }
}

WinIntervalTimer::~WinIntervalTimer() {
    ::KillTimer(window_, kTimerId);
    ::DestroyWindow(window_);
}

void WinIntervalTimer::setInterval(int milliseconds) {
    interval_ = milliseconds;
    // SetTimer with 0 would tick as fast as it can; 0 means no ticks.
    if (milliseconds <= 0) {
        ::KillTimer(window_, kTimerId);
        return;
    }
    // Setting the same timer again restarts it with the new interval.
    if (::SetTimer(window_, kTimerId, static_cast<UINT>(milliseconds), nullptr) == 0) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the system refused a timer");
    }
}

LRESULT WinIntervalTimer::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        if (tick_) {
            tick_();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorvel
