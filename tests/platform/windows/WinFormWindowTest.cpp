#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "platform/windows/WinFormWindow.h"
#include "platform/windows/WinIntervalTimer.h"

namespace quorvel::test {
namespace {

class CountingEvents final : public FormEvents {
public:
    void onResize() override { ++resizes; }
    void onUnload() override { ++unloads; }
    void onMouseDown(std::int16_t /*button*/, std::int16_t /*shift*/, float /*x*/, float /*y*/) override {}
    int resizes = 0;
    int unloads = 0;
};

RECT outerOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// Handles the thread's messages until `done` says so or five seconds have passed.
bool pumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class WinFormWindowTest : public ::testing::Test {
protected:
    win::SystemLibraries libraries;
    WinFormWindow window{libraries};
    CountingEvents events;
};

// The same window, hidden and shown: a pop-up exactly while the caption is empty, and the
// outer rectangle kept through each change while the client area follows.
TEST_F(WinFormWindowTest, TitleBarComesAndGoesInsideTheSameOuterRectangle) {
    window.setEvents(&events);
    window.setPlacement({1440, 1440, 2500, 3000});
    for (const bool shown : {false, true}) {
        if (shown) {
            window.show();
        }
        const RECT before = outerOf(window.handle());
        const int clientHeight = window.clientPixelHeight();
        window.setCaption("Quorvel Ver.1.1.0");
        auto style = static_cast<DWORD>(::GetWindowLongPtrA(window.handle(), GWL_STYLE));
        EXPECT_EQ(style & WS_POPUP, 0U);
        EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
        EXPECT_TRUE(::EqualRect(&before, std::array{outerOf(window.handle())}.data()));
        EXPECT_LT(window.clientPixelHeight(), clientHeight);
        const int resizes = events.resizes;
        window.setCaption("");
        style = static_cast<DWORD>(::GetWindowLongPtrA(window.handle(), GWL_STYLE));
        EXPECT_EQ(style & WS_POPUP, static_cast<DWORD>(WS_POPUP));
        EXPECT_EQ(style & WS_CAPTION, 0U);
        EXPECT_TRUE(::EqualRect(&before, std::array{outerOf(window.handle())}.data()));
        EXPECT_EQ(window.clientPixelHeight(), clientHeight);
        EXPECT_GT(events.resizes, resizes);
    }
}

// The title bar reads the same in every code page; this run's, 1252, lacks these letters.
TEST_F(WinFormWindowTest, CaptionKeepsTextBeyondTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252U);
    window.setCaption("\xe7\xb5\x82\xe4\xba\x86 Ver.1.1.0");
    std::array<wchar_t, 64> text{};
    ::GetWindowTextW(window.handle(), text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(std::wstring(text.data()), L"\u7d42\u4e86 Ver.1.1.0");
}

TEST_F(WinFormWindowTest, PlacementInTwipsAtTheScreensResolution) {
    const TwipsScale scale = window.scale();
    window.setPlacement({1500, 750, 2500, 3000});
    const RECT outer = outerOf(window.handle());
    EXPECT_EQ(outer.left, TwipsScale::whole(scale.toPixelsX(1500)));
    EXPECT_EQ(outer.top, TwipsScale::whole(scale.toPixelsY(750)));
    EXPECT_EQ(outer.right - outer.left, TwipsScale::whole(scale.toPixelsX(2500)));
    EXPECT_EQ(outer.bottom - outer.top, TwipsScale::whole(scale.toPixelsY(3000)));
    const Placement back = window.placement();
    EXPECT_NEAR(back.width, 2500, 1440.0 / 96);
    EXPECT_NEAR(back.left, 1500, 1440.0 / 96);

    window.moveToDefaultPosition();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromWindow(window.handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT centred = outerOf(window.handle());
    EXPECT_LE(std::abs((centred.left + centred.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
    EXPECT_LE(std::abs((centred.top + centred.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
    EXPECT_EQ(centred.right - centred.left, outer.right - outer.left);
}

TEST_F(WinFormWindowTest, OnAScreenWhenAnyPartIsOnOne) {
    const TwipsScale scale = window.scale();
    const double screenWidth = scale.toTwipsX(::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const double screenLeft = scale.toTwipsX(::GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_TRUE(window.isOnAnyScreen({screenLeft, 0, 2500, 3000}));
    EXPECT_TRUE(window.isOnAnyScreen({screenLeft - 2400, 0, 2500, 3000}));
    EXPECT_FALSE(window.isOnAnyScreen({screenLeft - 2600, 0, 2500, 3000}));
    EXPECT_FALSE(window.isOnAnyScreen({screenLeft + screenWidth + 15, 0, 2500, 3000}));
    EXPECT_FALSE(window.isOnAnyScreen({0, -100000, 2500, 3000}));
}

TEST_F(WinFormWindowTest, StaysOnTopSetsAndClearsTheTopmostState) {
    window.show();
    const RECT before = outerOf(window.handle());
    for (const bool onTop : {true, false, true, false}) {
        EXPECT_TRUE(window.setStaysOnTop(onTop));
        const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(window.handle(), GWL_EXSTYLE));
        EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, onTop);
        EXPECT_TRUE(::EqualRect(&before, std::array{outerOf(window.handle())}.data()));
    }
}

TEST_F(WinFormWindowTest, CloseUnloadsOnce) {
    window.setEvents(&events);
    ::SendMessageA(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(events.unloads, 1);
    EXPECT_FALSE(::IsWindow(window.handle()));
}

// A sign-out or shutdown is a close: the window lets the session end, unloads once when
// it ends, and is gone; a session end that was called off changes nothing.
TEST_F(WinFormWindowTest, SessionEndUnloadsOnce) {
    window.setEvents(&events);
    const HWND handle = window.handle();
    EXPECT_EQ(::SendMessageA(handle, WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageA(handle, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(events.unloads, 0);
    EXPECT_TRUE(::IsWindow(handle));
    ::SendMessageA(handle, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(events.unloads, 1);
    EXPECT_FALSE(::IsWindow(handle));
}

TEST(WinIntervalTimer, TicksUntilTheIntervalIsZero) {
    WinIntervalTimer timer;
    int ticks = 0;
    timer.setTick([&ticks] { ++ticks; });
    timer.setInterval(10);
    EXPECT_EQ(timer.interval(), 10);
    EXPECT_TRUE(pumpUntil([&ticks] { return ticks >= 3; }));
    timer.setInterval(0);
    EXPECT_EQ(timer.interval(), 0);
    // While another timer ticks five times, the stopped one hands out at most the tick
    // that was already queued.
    const int stoppedAt = ticks;
    WinIntervalTimer other;
    int otherTicks = 0;
    other.setTick([&otherTicks] { ++otherTicks; });
    other.setInterval(10);
    EXPECT_TRUE(pumpUntil([&otherTicks] { return otherTicks >= 5; }));
    EXPECT_LE(ticks, stoppedAt + 1);
}

}  // namespace
}  // namespace quorvel::test
