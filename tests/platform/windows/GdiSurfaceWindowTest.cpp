#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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
