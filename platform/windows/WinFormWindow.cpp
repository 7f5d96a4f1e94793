#include "platform/windows/WinFormWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "common/RuntimeError.h"
#include "platform/windows/AnsiText.h"

namespace quorvel {
namespace {

// The program's resource script gives its icon this number.
constexpr WORD kProgramIcon = 1;

constexpr DWORD kCommonStyle = WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFramelessStyle = WS_POPUP | kCommonStyle;
constexpr DWORD kTitledStyle = WS_OVERLAPPED | WS_CAPTION | kCommonStyle;
constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | kCommonStyle;

std::int16_t shiftState(WPARAM keys) {
    std::int16_t shift = 0;
    if ((keys & MK_SHIFT) != 0) {
        shift |= 1;
    }
    if ((keys & MK_CONTROL) != 0) {
        shift |= 2;
    }
    if (::GetKeyState(VK_MENU) < 0) {
        shift |= 4;
    }
    return shift;
}

// Button: 1 left, 2 right, 4 middle.
std::int16_t buttonOf(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN: return 2;
    case WM_MBUTTONDOWN: return 4;
    default: return 1;
    }
}

}  // namespace

WinFormWindow::WinFormWindow(win::SystemLibraries& libraries) : libraries_(libraries), systemDpi_(SystemDpi()) {
    const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIcon));
    const win::TargetClass windowClass{.name = L"QuorvelForm",
                                       .style = CS_DBLCLKS,
                                       .icon = icon,
                                       // A system colour index + 1 stands for its brush.
                                       .background = reinterpret_cast<HBRUSH>(  // NOLINT(performance-no-int-to-ptr)
                                           static_cast<INT_PTR>(COLOR_BTNFACE + 1))};
    // Shown in the task bar even while it has no title bar.
    window_ = win::createTargetWindow(*this, windowClass, WS_EX_APPWINDOW, StyleFor({}), nullptr);
    if (window_ == nullptr) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the main window could not be created");
    }
}

WinFormWindow::~WinFormWindow() {
    events_ = nullptr;
    if (::IsWindow(window_) != FALSE) {
        ::DestroyWindow(window_);
    }
}

DWORD WinFormWindow::StyleFor(const std::string& caption) {
    return caption.empty() ? kFramelessStyle : kTitledStyle;
}

int WinFormWindow::SystemDpi() {
    // For a program that declares itself aware of each monitor's resolution, the screen's
    // resolution is the system's as the process started, whatever monitor it is asked on.
    const HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

TwipsScale WinFormWindow::scale() const {
    // The monitor's resolution is asked only where the system reported none. Before
    // Windows 10 every monitor has the system's resolution anyway.
    int monitorDpi = 0;
    if (systemDpi_ <= 0) {
        if (const auto dpiForWindow = libraries_.find<win::Fn::GetDpiForWindow>()) {
            monitorDpi = static_cast<int>(dpiForWindow(window_));
        }
    }
    return TwipsScale::ForPlacement(systemDpi_, monitorDpi);
}

void WinFormWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    ::SetWindowTextW(window_, ProgramTextToWide(caption).c_str());
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD wanted = (style & ~kFrameStyles) | StyleFor(caption);
    if (wanted == style) {
        return;
    }
    // The frame changes inside the outer rectangle, which stays where it was; the
    // client area, and with it the graph, follows (WM_SIZE).
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    ::SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
    ::SetWindowPos(window_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

Placement WinFormWindow::placement() const {
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    const TwipsScale twips = scale();
    return {twips.toTwipsX(outer.left), twips.toTwipsY(outer.top), twips.toTwipsX(outer.right - outer.left),
            twips.toTwipsY(outer.bottom - outer.top)};
}

RECT WinFormWindow::pixelRect(const Placement& placement) const {
    const TwipsScale twips = scale();
    const int left = TwipsScale::whole(twips.toPixelsX(placement.left));
    const int top = TwipsScale::whole(twips.toPixelsY(placement.top));
    const int width = std::max(1, TwipsScale::whole(twips.toPixelsX(placement.width)));
    const int height = std::max(1, TwipsScale::whole(twips.toPixelsY(placement.height)));
    return {left, top, left + width, top + height};
}

void WinFormWindow::setPlacement(const Placement& placement) {
    const RECT rect = pixelRect(placement);
    // A placement on a monitor of another resolution than the one the window was on is
    // kept as given: its twips already are at the one resolution of the process.
    placing_ = true;
    ::SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    placing_ = false;
}

int WinFormWindow::clientPixelWidth() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return client.right - client.left;
}

int WinFormWindow::clientPixelHeight() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return client.bottom - client.top;
}

bool WinFormWindow::isOnAnyScreen(const Placement& placement) const {
    const RECT rect = pixelRect(placement);
    return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

void WinFormWindow::moveToDefaultPosition() {
    // Centred in the working area of the screen the window is on, as a first run does on
    // every platform.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoA(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor) == FALSE) {
        return;
    }
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    const RECT& work = monitor.rcWork;
    const int left = work.left + ((work.right - work.left) - (outer.right - outer.left)) / 2;
    const int top = work.top + ((work.bottom - work.top) - (outer.bottom - outer.top)) / 2;
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void WinFormWindow::show() {
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
}

bool WinFormWindow::setStaysOnTop(bool onTop) {
    // Only the place in the front-to-back order changes; activation is not suppressed.
    return ::SetWindowPos(window_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

void WinFormWindow::startInteractiveMove() {
    // The system moves the window as if its title bar had been pressed, until the
    // button is released.
    ::ReleaseCapture();
    ::SendMessageA(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void WinFormWindow::reportMouseDown(std::int16_t button, WPARAM keys, LPARAM position) {
    if (events_ == nullptr) {
        return;
    }
    const TwipsScale twips = scale();
    events_->onMouseDown(button, shiftState(keys), static_cast<float>(twips.toTwipsX(GET_X_LPARAM(position))),
                         static_cast<float>(twips.toTwipsY(GET_Y_LPARAM(position))));
}

void WinFormWindow::unloadOnce() {
    if (unloaded_ || events_ == nullptr) {
        return;
    }
    unloaded_ = true;
    events_->onUnload();
}

LRESULT WinFormWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (events_ != nullptr && wParam != SIZE_MINIMIZED) {
            events_->onResize();
        }
        return 0;
    case WM_CLOSE:
        unloadOnce();
        ::DestroyWindow(window);
        return 0;
    // A sign-out or shutdown is a close: the program never holds the session up.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // The process may be ended at any time after this returns: unload now, then end.
        if (wParam != FALSE) {
            unloadOnce();
            ::DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: reportMouseDown(buttonOf(message), wParam, lParam); return 0;
    case WM_DPICHANGED: {
        if (placing_) {
            return 0;
        }
        // Dragged onto a monitor of another resolution: the system suggests the rectangle
        // that keeps the window's size as the user sees it.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);  // NOLINT(performance-no-int-to-ptr)
        ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace quorvel
