#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows/SystemLibraries.h"
#include "platform/windows/WinHoverTip.h"

namespace quorvel::testing {
namespace {

// The presses the surface hands on, the one input event the program acts on.
class PressLog final : public InputListener {
public:
    std::vector<std::string> presses;
    void MouseDown(std::int16_t& button, std::int16_t& shift, float& x, float& y) override {
        presses.push_back(std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(x) + " " +
                          std::to_string(y));
    }
};

// The read-out's source: the same two lines for every x, and the x it was asked for.
class FakeReadOut final : public ReadOutSource {
public:
    std::vector<float> asked;
    std::vector<ReadOutLine> lines{{.swatch = 0x0000FF, .detail = false, .text = "lo \xE2\x80\x94 Bytes Received/sec"},
                                   {.swatch = std::nullopt, .detail = true, .text = "now 1.25 MB/s"},
                                   {.swatch = std::nullopt, .detail = false, .text = "top 2 MB/s"}};

    std::vector<ReadOutLine> readOut(float x) override {
        asked.push_back(x);
        return lines;
    }
};

// A shown top-level window on the run's X server, with the surface as its child placed
// as the graph control places it: 170 x 200 with a border two pixels deep, 10 samples
// across and 9000 up; and the read-out watching the surface, as the program has it.
class GdiSurfaceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        ::ShowWindow(parent, SW_SHOWNOACTIVATE);
        surface = std::make_unique<GdiDrawingSurface>(parent);
        surface->setInputListener(&log);
        surface->place(5, 6, 170, 200);
        surface->setScaleWidth(10);
        surface->setScaleHeight(9000);
        tip = std::make_unique<WinHoverTip>(*surface, libraries);
        tip->setSource(&source);
    }
    void TearDown() override {
        tip.reset();
        surface.reset();
        if (parent != nullptr) {
            ::DestroyWindow(parent);
        }
    }

    // Client coordinates of the window: the drawing area starts at (2, 2).
    void send(UINT message, WPARAM wParam, int x = 0, int y = 0) const {
        ::SendMessageW(surface->handle(), message, wParam, MAKELPARAM(x, y));
    }
    // The system's pointer to (x, y) of the surface's window, with no button down: the
    // system tells a window the pointer has left it when the real pointer is elsewhere.
    void pointTo(int x, int y) const {
        POINT screen{x, y};
        ::ClientToScreen(surface->handle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        send(WM_MOUSEMOVE, 0, x, y);
    }
    // Runs the message loop until `done` holds, for three seconds at most.
    static bool pumpUntil(const std::function<bool()>& done) {
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
    [[nodiscard]] bool shown() const { return tip->tooltip() != nullptr && ::IsWindowVisible(tip->tooltip()); }
    [[nodiscard]] std::wstring tipText() const {
        std::wstring text(1024, L'\0');
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = surface->handle();
        tool.uId = 1;
        tool.lpszText = text.data();
        ::SendMessageW(tip->tooltip(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
        text.resize(std::wcslen(text.c_str()));
        return text;
    }
    HWND parent = nullptr;
    PressLog log;
    std::unique_ptr<GdiDrawingSurface> surface;
    win::SystemLibraries libraries;
    FakeReadOut source;
    std::unique_ptr<WinHoverTip> tip;
};

// The read-out opens once the pointer has moved on the graph and rests there, asks the
// source at the pointer's place in logical units, and shows its lines, with room for a
// swatch before the first line and as much room again before the detail. A press closes
// it and reaches the surface's listener, in logical units. A move that the system reports where the
// pointer already was (a window coming up under a pointer that stays put) opens nothing;
// one that comes back from elsewhere to the very place it left does.
TEST_F(GdiSurfaceWindow, TheReadOutOpensWhenThePointerHasMovedAndRests) {
    POINT screen{2 + 60, 2 + 98};
    ::ClientToScreen(surface->handle(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    tip.reset();
    tip = std::make_unique<WinHoverTip>(*surface, libraries);
    tip->setSource(&source);
    send(WM_MOUSEMOVE, 0, 2 + 60, 2 + 98);
    EXPECT_FALSE(pumpUntil([&] { return shown(); })) << "a tip with the pointer never moved";

    pointTo(2 + 83, 2 + 98);
    ASSERT_TRUE(pumpUntil([&] { return shown(); })) << "no tip once the pointer moved and rested";
    EXPECT_EQ(source.asked, std::vector<float>{5});
    const std::wstring text = tipText();
    const std::size_t room = text.find(L'l');
    ASSERT_GT(room, 0U);
    EXPECT_EQ(text, std::wstring(room, L' ') + L"lo \u2014 Bytes Received/sec\r\n" + std::wstring(room, L' ') +
                        L"now 1.25 MB/s\r\ntop 2 MB/s");
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 2 + 83, 2 + 98);
    EXPECT_FALSE(shown()) << "a press leaves the tip open";
    EXPECT_EQ(log.presses, std::vector<std::string>{"1 1 5.000000 4500.000000"});
    send(WM_LBUTTONUP, 0, 2 + 83, 2 + 98);

    RECT frame{};
    ::GetWindowRect(parent, &frame);
    ::SetCursorPos(frame.right + 10, frame.bottom + 10);
    send(WM_MOUSELEAVE, 0);
    pointTo(2 + 83, 2 + 98);
    EXPECT_TRUE(pumpUntil([&] { return shown(); })) << "no tip after the pointer came back";
}

}  // namespace
}  // namespace quorvel::testing
