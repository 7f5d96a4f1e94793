#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows/SystemLibraries.h"
#include "platform/windows/WinHoverTip.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

class EventLog final : public InputListener {
public:
    std::vector<std::string> events;
    bool throwOnMove = false;

    void Click() override { events.emplace_back("Click"); }
    void DblClick() override { events.emplace_back("DblClick"); }
    void KeyDown(std::int16_t& code, std::int16_t& shift) override { key("KeyDown", code, shift); }
    void KeyPress(std::int16_t& ascii) override { events.push_back("KeyPress " + std::to_string(ascii)); }
    void KeyUp(std::int16_t& code, std::int16_t& shift) override { key("KeyUp", code, shift); }
    void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("MouseDown", b, s, x, y); }
    void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        if (throwOnMove) {
            throw std::runtime_error("listener failed");
        }
        mouse("MouseMove", b, s, x, y);
    }
    void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("MouseUp", b, s, x, y); }

private:
    void key(const char* name, std::int16_t code, std::int16_t shift) {
        events.push_back(std::string(name) + " " + std::to_string(code) + " " + std::to_string(shift));
    }
    void mouse(const char* name, std::int16_t button, std::int16_t shift, float x, float y) {
        std::ostringstream out;
        out << name << ' ' << button << ' ' << shift << ' ' << x << ' ' << y;
        events.push_back(out.str());
    }
};

// A top-level window on the run's X server, with the surface as its child, placed as
// the graph control places it: 170 x 200 with a border two pixels deep, 10 samples
// across and 9000 up.
class GdiSurfaceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        surface = std::make_unique<GdiDrawingSurface>(parent);
        surface->setInputListener(&log);
        surface->place(5, 6, 170, 200);
        surface->setScaleWidth(10);
        surface->setScaleHeight(9000);
    }
    void TearDown() override {
        surface.reset();
        if (parent != nullptr) {
            ::DestroyWindow(parent);
        }
    }

    // Client coordinates of the window: the drawing area starts at (2, 2).
    void send(UINT message, WPARAM wParam, int x = 0, int y = 0) const {
        ::SendMessageW(surface->handle(), message, wParam, MAKELPARAM(x, y));
    }

    HWND parent = nullptr;
    EventLog log;
    std::unique_ptr<GdiDrawingSurface> surface;
};

TEST_F(GdiSurfaceWindow, IsAChildWindowOfThePlacedSizeWithTheImageInsideItsBorder) {
    const HWND child = surface->handle();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(::GetParent(child), parent);
    RECT box{};
    ::GetWindowRect(child, &box);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}), (std::vector<LONG>{5, 6, 175, 206}));
    EXPECT_EQ(surface->pictureWidth(), 166);
    EXPECT_EQ(surface->pictureHeight(), 196);
    surface.reset();
    EXPECT_FALSE(::IsWindow(child));
}

TEST_F(GdiSurfaceWindow, MouseAndKeyMessagesReachTheListenerInLogicalUnits) {
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 2 + 83, 2 + 98);
    send(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, 2, 2 + 196);
    send(WM_LBUTTONUP, 0, 2 + 166, 2);
    send(WM_RBUTTONDOWN, MK_RBUTTON, 2, 2);
    send(WM_RBUTTONUP, 0, 2, 2);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    send(WM_LBUTTONUP, 0, 400, 2);  // released beyond the window: no click
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 2, 2);
    send(WM_LBUTTONUP, 0, 2, 2);  // ends the double click: no click either
    send(WM_MBUTTONDOWN, MK_MBUTTON, 2, 2);
    send(WM_KEYDOWN, VK_F5);
    send(WM_CHAR, 'a');
    send(WM_KEYUP, 'A');
    EXPECT_EQ(log.events, (std::vector<std::string>{
                              "MouseDown 1 1 5 4500",
                              "MouseMove 3 2 0 9000",
                              "MouseUp 1 0 10 0",
                              "Click",
                              "MouseDown 2 0 0 0",
                              "MouseUp 2 0 0 0",
                              "MouseDown 1 0 0 0",
                              "MouseUp 1 0 23.9759 0",
                              "DblClick",
                              "MouseUp 1 0 0 0",
                              "MouseDown 4 0 0 0",
                              "KeyDown 116 0",
                              "KeyPress 97",
                              "KeyUp 65 0",
                          }));
}

// Nothing may cross the window procedure: what a listener throws goes to the handler.
TEST_F(GdiSurfaceWindow, AListenersErrorGoesToTheErrorHandler) {
    std::vector<std::string> errors;
    surface->setErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(std::move(error));
        } catch (const std::exception& e) {
            errors.emplace_back(e.what());
        }
    });
    log.throwOnMove = true;
    send(WM_MOUSEMOVE, 0, 10, 10);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    EXPECT_EQ(errors, std::vector<std::string>{"listener failed"});
    EXPECT_EQ(log.events.size(), 1U);  // the press still arrives
}

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

// The surface on a shown window with the read-out watching it, and the system's pointer
// where the messages say it is: the system tells a window the pointer has left it when
// the real pointer is elsewhere.
class HoverTipWindow : public GdiSurfaceWindow {
protected:
    void SetUp() override {
        GdiSurfaceWindow::SetUp();
        ::ShowWindow(parent, SW_SHOWNOACTIVATE);
        tip = std::make_unique<WinHoverTip>(*surface, libraries);
        tip->setSource(&source);
    }
    void TearDown() override {
        tip.reset();
        GdiSurfaceWindow::TearDown();
    }

    // The pointer to (x, y) of the surface's window, with no button down.
    void pointTo(int x, int y) const {
        POINT screen{x, y};
        ::ClientToScreen(surface->handle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        send(WM_MOUSEMOVE, 0, x, y);
    }

    // Runs the message loop until `done` holds, for three seconds at most.
    static bool pumpUntil(const std::function<bool()>& done) {
        const ULONGLONG end = ::GetTickCount64() + 3000;
        while (::GetTickCount64() < end) {
            MSG message{};
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            if (done()) {
                return true;
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

    [[nodiscard]] int redPixels() const {
        RECT box{};
        ::GetClientRect(tip->tooltip(), &box);
        const HDC dc = ::GetDC(tip->tooltip());
        int red = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < std::min<LONG>(box.right, 40); ++x) {
                red += ::GetPixel(dc, x, y) == RGB(255, 0, 0) ? 1 : 0;
            }
        }
        ::ReleaseDC(tip->tooltip(), dc);
        return red;
    }

    win::SystemLibraries libraries;
    FakeReadOut source;
    std::unique_ptr<WinHoverTip> tip;
};

TEST_F(HoverTipWindow, OpensAtRestFollowsThePointerAndClosesOnAPressOrWhenThePointerLeaves) {
    pointTo(2 + 83, 2 + 98);
    // A tick before the pointer has rested opens nothing.
    tip->sourceChanged();
    EXPECT_TRUE(source.asked.empty());
    ASSERT_TRUE(pumpUntil([&] { return shown(); })) << "no tip at rest";
    EXPECT_EQ(source.asked, std::vector<float>{5});
    // The swatch in the line's colour, red, at the start of the first line.
    EXPECT_TRUE(pumpUntil([&] { return redPixels() > 0; })) << "no swatch";
    // Room for the swatch before the first line, and as much again before the detail.
    const std::wstring text = tipText();
    const std::size_t room = text.find(L'l');
    ASSERT_GT(room, 0U);
    EXPECT_EQ(text, std::wstring(room, L' ') + L"lo \u2014 Bytes Received/sec\r\n" + std::wstring(room, L' ') +
                        L"now 1.25 MB/s\r\ntop 2 MB/s");
    RECT box{};
    ::GetWindowRect(tip->tooltip(), &box);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    EXPECT_GT(box.left, pointer.x);
    EXPECT_GT(box.top, pointer.y);

    pointTo(2, 2 + 98);
    EXPECT_EQ(source.asked, (std::vector<float>{5, 0}));
    tip->sourceChanged();
    EXPECT_EQ(source.asked, (std::vector<float>{5, 0, 0}));
    EXPECT_TRUE(shown());

    // A press closes it and still reaches the surface's listener.
    log.events.clear();
    send(WM_LBUTTONDOWN, MK_LBUTTON, 2, 2 + 98);
    EXPECT_FALSE(shown());
    send(WM_LBUTTONUP, 0, 2, 2 + 98);
    EXPECT_EQ(log.events, (std::vector<std::string>{"MouseDown 1 0 0 4500", "MouseUp 1 0 0 4500", "Click"}));

    // The next rest opens it again; the pointer leaving closes it.
    pointTo(2 + 83, 2 + 98);
    ASSERT_TRUE(pumpUntil([&] { return shown(); })) << "no tip at the next rest";
    send(WM_MOUSELEAVE, 0);
    EXPECT_FALSE(shown());

    // Closed, it asks nothing; with nothing to say it stays closed.
    const std::size_t asked = source.asked.size();
    tip->sourceChanged();
    EXPECT_EQ(source.asked.size(), asked);
    source.lines.clear();
    pointTo(2 + 40, 2 + 98);
    EXPECT_TRUE(pumpUntil([&] { return source.asked.size() > asked; }));
    EXPECT_FALSE(shown());
}

TEST_F(HoverTipWindow, AMoveReportedWithoutThePointerMovingOpensNothing) {
    // The window comes up under a pointer that stays put: the system reports a move at the
    // place the pointer already had.
    POINT screen{2 + 83, 2 + 98};
    ::ClientToScreen(surface->handle(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    tip.reset();
    tip = std::make_unique<WinHoverTip>(*surface, libraries);
    tip->setSource(&source);
    send(WM_MOUSEMOVE, 0, 2 + 83, 2 + 98);
    EXPECT_FALSE(pumpUntil([&] { return shown(); })) << "a tip with the pointer never moved";
    EXPECT_TRUE(source.asked.empty());

    pointTo(2 + 60, 2 + 98);
    EXPECT_TRUE(pumpUntil([&] { return shown(); })) << "no tip once the pointer moved and rested";

    // Away from the window and back to where it was: that is a move too.
    RECT frame{};
    ::GetWindowRect(parent, &frame);
    ::SetCursorPos(frame.right + 10, frame.bottom + 10);
    send(WM_MOUSELEAVE, 0);
    EXPECT_FALSE(shown());
    pointTo(2 + 60, 2 + 98);
    EXPECT_TRUE(pumpUntil([&] { return shown(); })) << "no tip after the pointer came back";
}

TEST(HoverTipPlacement, BelowRightOfThePointerOrOnTheOtherSideAtTheWorkAreasEdge) {
    const RECT work{0, 0, 1000, 700};
    const SIZE size{200, 100};
    const SIZE offset{12, 20};
    const std::vector<std::pair<POINT, POINT>> table{
        {{500, 300}, {512, 320}},  // room below and to the right
        {{900, 300}, {700, 320}},  // the right edge: left of the pointer
        {{500, 650}, {512, 550}},  // the bottom: above the pointer
        {{900, 650}, {700, 550}},  // the corner
        {{150, 650}, {162, 550}},
    };
    for (const auto& [pointer, want] : table) {
        const POINT got = WinHoverTip::placeBeside(pointer, size, offset, work);
        EXPECT_EQ((std::pair{got.x, got.y}), (std::pair{want.x, want.y})) << pointer.x << "," << pointer.y;
    }
    // A tip larger than the work area keeps its top left corner on it.
    const POINT big = WinHoverTip::placeBeside({10, 10}, {2000, 2000}, offset, work);
    EXPECT_EQ((std::pair{big.x, big.y}), (std::pair{0L, 0L}));
}

std::uint32_t rgbOf(COLORREF colour) {
    return ((colour & 0xFFU) << 16) | (colour & 0xFF00U) | ((colour >> 16) & 0xFFU);
}

TEST_F(GdiSurfaceWindow, PaintCopiesTheImageInsideASunkenBorder) {
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    drawScene(*surface, {.width = 1, .mode = 7});
    ::UpdateWindow(surface->handle());
    const std::vector<std::uint32_t> picture = surface->picture();
    const HDC dc = ::GetDC(surface->handle());
    std::vector<std::uint32_t> border;
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{5, 0}, {0, 5}, {5, 199}, {169, 5}, {5, 1}, {168, 5}}) {
        border.push_back(rgbOf(::GetPixel(dc, x, y)));
    }
    int differing = 0;
    for (int y = 0; y < 196; y += 3) {
        for (int x = 0; x < 166; x += 3) {
            differing += rgbOf(::GetPixel(dc, 2 + x, 2 + y)) !=
                                 picture.at(static_cast<std::size_t>(y) * 166 + static_cast<std::size_t>(x))
                             ? 1
                             : 0;
        }
    }
    ::ReleaseDC(surface->handle(), dc);
    EXPECT_EQ(border, (std::vector<std::uint32_t>{
                          rgbOf(::GetSysColor(COLOR_BTNSHADOW)), rgbOf(::GetSysColor(COLOR_BTNSHADOW)),
                          rgbOf(::GetSysColor(COLOR_BTNHIGHLIGHT)), rgbOf(::GetSysColor(COLOR_BTNHIGHLIGHT)),
                          rgbOf(::GetSysColor(COLOR_3DDKSHADOW)), rgbOf(::GetSysColor(COLOR_3DLIGHT))}));
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace quorvel::testing
