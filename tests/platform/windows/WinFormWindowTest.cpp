#include "platform/windows/SystemHeaders.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows/AnsiText.h"
#include "platform/windows/GdiDrawingSurface.h"
#include "platform/windows/TwipsScale.h"
#include "platform/windows/WinFormWindow.h"
#include "platform/windows/WinHoverTip.h"
#include "platform/windows/WinIntervalTimer.h"

// The window parts, run with Wine's system code page set to 1252 (Western European),
// which lacks the program's Japanese captions.
namespace quorvel::test {
namespace {

// Runs the message loop until `done` holds, for three seconds at most.
bool pumpUntil(const std::function<bool()>& done) {
    const ULONGLONG end = ::GetTickCount64() + 3000;
    while (::GetTickCount64() < end && !done()) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}

// Shown text goes through the wide calls: the program's own text is UTF-8, text that is
// not came from the system in its code page. The title bar reads the same in every code page.
TEST(ProgramTextToWide, CaptionsKeepTextBeyondTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252U);
    const std::pair<std::string, std::wstring> cases[] = {
        {"\xe7\xb5\x82\xe4\xba\x86(&Q)", L"\u7d42\u4e86(&Q)"},            // "end (Q)" in UTF-8
        {"C:\\J\xfcrgen\\quorvel.ini", L"C:\\J\u00fcrgen\\quorvel.ini"},  // a path in code page 1252: not UTF-8
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ProgramTextToWide(in), out) << in;
    }
    win::SystemLibraries libraries;
    WinFormWindow window{libraries};
    window.setCaption("\xe7\xb5\x82\xe4\xba\x86 Ver.1.1.0");
    std::array<wchar_t, 64> text{};
    ::GetWindowTextW(window.handle(), text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(std::wstring(text.data()), L"\u7d42\u4e86 Ver.1.1.0");
}

// Two monitors, the primary at 96 pixels per inch and one beside it at 144. The system's
// resolution stays that of the primary; the window's placement, saved at quit on one
// monitor, gives the same pixels at the next start on the other.
TEST(TwipsScale, PlacementKeepsItsPixelsAcrossMonitorsOfDifferentResolution) {
    for (const int systemDpi : {96, 144}) {
        const TwipsScale atQuit = TwipsScale::ForPlacement(systemDpi, 96);
        const TwipsScale atStart = TwipsScale::ForPlacement(systemDpi, 144);
        for (const double pixels : {2100, 300}) {
            EXPECT_EQ(TwipsScale::whole(atStart.toPixelsX(atQuit.toTwipsX(pixels))), pixels) << systemDpi;
            EXPECT_EQ(TwipsScale::whole(atStart.toPixelsY(atQuit.toTwipsY(pixels))), pixels) << systemDpi;
        }
    }
    EXPECT_EQ(TwipsScale::ForPlacement(96, 144).toTwipsX(250), 3750);
    EXPECT_EQ(TwipsScale::ForPlacement(0, 144).toTwipsX(250), 2500);  // no system resolution reported
}

// TimerValue 0 means no ticks: while another timer ticks five times, a stopped one hands
// out at most the tick that was already queued.
TEST(WinIntervalTimer, TicksUntilTheIntervalIsZero) {
    std::array<int, 2> ticks{};
    std::array<WinIntervalTimer, 2> timers;
    const auto run = [&](std::size_t timer, int count) {
        timers.at(timer).setTick([&ticks, timer] { ++ticks.at(timer); });
        timers.at(timer).setInterval(10);
        return pumpUntil([&] { return ticks.at(timer) >= count; });
    };
    EXPECT_TRUE(run(0, 3));
    timers[0].setInterval(0);
    const int stoppedAt = ticks[0];
    EXPECT_TRUE(run(1, 5));
    EXPECT_LE(ticks[0], stoppedAt + 1);
}

// The surface's listener and the read-out's source: the presses it hands on (the one
// input event the program acts on), the same lines for every x, and the x asked for.
class Recorder final : public InputListener, public ReadOutSource {
public:
    std::vector<std::string> presses;
    std::vector<float> asked;

    void MouseDown(std::int16_t& button, std::int16_t& shift, float& x, float& y) override {
        presses.push_back(std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(x) + " " +
                          std::to_string(y));
    }
    std::vector<ReadOutLine> readOut(float x) override {
        asked.push_back(x);
        return {{.swatch = 0x0000FF, .detail = false, .text = "lo \xE2\x80\x94 Bytes Received/sec"},
                {.swatch = std::nullopt, .detail = true, .text = "now 1.25 MB/s"},
                {.swatch = std::nullopt, .detail = false, .text = "top 2 MB/s"}};
    }
};

std::wstring tipText(HWND tooltip, HWND tool) {
    std::wstring text(1024, L'\0');
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = tool;
    info.uId = 1;
    info.lpszText = text.data();
    ::SendMessageW(tooltip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
    return text.substr(0, std::wcslen(text.c_str()));
}

// The surface in a shown window on the run's X server, placed as the graph control
// places it (170 x 200 with a border two pixels deep, 10 samples across and 9000 up),
// with the read-out watching it. The read-out opens once the pointer has moved on the
// graph and rests there, asks the source at the pointer's place in logical units, and
// shows its lines, with room for a swatch before the first line and as much room again
// before the detail. A press closes it and reaches the surface's listener, in logical
// units. A move that the system reports where the pointer already was (a window coming
// up under a pointer that stays put) opens nothing; one that comes back from elsewhere to
// the very place it left does. The system tells a window the pointer has left it when the
// real pointer is elsewhere, so the test moves the real pointer too.
TEST(GdiSurfaceWindow, TheReadOutOpensWhenThePointerHasMovedAndRests) {
    const HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    Recorder recorder;
    GdiDrawingSurface surface(parent);
    surface.setInputListener(&recorder);
    surface.place(5, 6, 170, 200);
    surface.setScaleWidth(10);
    surface.setScaleHeight(9000);
    // The pointer, real and as the window hears of it, to (x, y) of the drawing area.
    const auto send = [&](UINT message, WPARAM wParam, int x, int y) {
        ::SendMessageW(surface.handle(), message, wParam, MAKELPARAM(2 + x, 2 + y));
    };
    const auto moveTo = [&](int x, int y) {
        POINT screen{2 + x, 2 + y};
        ::ClientToScreen(surface.handle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        send(WM_MOUSEMOVE, 0, x, y);
    };
    moveTo(60, 98);
    win::SystemLibraries libraries;
    WinHoverTip tip(surface, libraries);
    tip.setSource(&recorder);
    const auto shown = [&] { return tip.tooltip() != nullptr && ::IsWindowVisible(tip.tooltip()) != FALSE; };
    moveTo(60, 98);
    EXPECT_FALSE(pumpUntil(shown)) << "a tip with the pointer never moved";

    moveTo(83, 98);
    ASSERT_TRUE(pumpUntil(shown)) << "no tip once the pointer moved and rested";
    EXPECT_EQ(recorder.asked, std::vector<float>{5});
    const std::wstring text = tipText(tip.tooltip(), surface.handle());
    const std::size_t room = text.find(L'l');
    ASSERT_GT(room, 0U);
    EXPECT_EQ(text, std::wstring(room, L' ') + L"lo \u2014 Bytes Received/sec\r\n" + std::wstring(room, L' ') +
                        L"now 1.25 MB/s\r\ntop 2 MB/s");
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 83, 98);
    EXPECT_FALSE(shown()) << "a press leaves the tip open";
    EXPECT_EQ(recorder.presses, std::vector<std::string>{"1 1 5.000000 4500.000000"});
    send(WM_LBUTTONUP, 0, 83, 98);

    RECT frame{};
    ::GetWindowRect(parent, &frame);
    ::SetCursorPos(frame.right + 10, frame.bottom + 10);
    send(WM_MOUSELEAVE, 0, 0, 0);
    moveTo(83, 98);
    EXPECT_TRUE(pumpUntil(shown)) << "no tip after the pointer came back";
}

}  // namespace
}  // namespace quorvel::test
