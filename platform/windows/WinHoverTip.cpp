#include "platform/windows/WinHoverTip.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "common/RuntimeError.h"
#include "platform/windows/GdiDrawingSurface.h"
#include "platform/windows/SystemLibraries.h"

namespace quorvel {
namespace {

constexpr const wchar_t* kOwnerClassName = L"QuorvelReadOutOwner";
constexpr UINT_PTR kTimerId = 0x7157;
constexpr UINT_PTR kToolId = 1;
constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;
// Below and to the right of the pointer's tip, clear of the arrow, in pixels of a 96-dpi screen.
constexpr SIZE kPointerOffset{12, 20};

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

int screenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

COLORREF colourRef(Colour colour) {
    if (isSystemColour(colour)) {
        return ::GetSysColor(systemColourIndex(colour));
    }
    return static_cast<COLORREF>(colour) & 0x00FFFFFFU;
}

TOOLINFOW toolOf(HWND window) {
    TOOLINFOW tool{};
    // The size every version of the control knows.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = window;
    tool.uId = kToolId;
    return tool;
}

}  // namespace

WinHoverTip::WinHoverTip(GdiDrawingSurface& surface, win::SystemLibraries& libraries)
    : surface_(surface), libraries_(libraries), window_(surface.handle()) {
    if (window_ == nullptr) {
        return;
    }
    // The system also reports a move when a window appears or moves under a pointer that
    // stays where it is: only a position other than this one is a move.
    ::GetCursorPos(&screenPointer_);
    surface_.setMessageHook(
        [this](UINT message, WPARAM wParam, LPARAM lParam) { return surfaceMessage(message, wParam, lParam); });
}

WinHoverTip::~WinHoverTip() {
    if (window_ != nullptr) {
        surface_.setMessageHook({});
        ::KillTimer(window_, kTimerId);
    }
    // The tooltip goes with its owner.
    if (owner_ != nullptr) {
        ::DestroyWindow(owner_);
    }
}

void WinHoverTip::setSource(ReadOutSource* source) {
    source_ = source;
    if (source_ == nullptr) {
        close();
        stopWaiting();
    } else if (open_) {
        show();
    }
}

void WinHoverTip::sourceChanged() {
    if (open_) {
        show();
    }
}

POINT WinHoverTip::placeBeside(POINT pointer, SIZE size, SIZE offset, RECT workArea) {
    LONG x = pointer.x + offset.cx;
    LONG y = pointer.y + offset.cy;
    if (x + size.cx > workArea.right) {
        x = pointer.x - size.cx;
    }
    if (y + size.cy > workArea.bottom) {
        y = pointer.y - size.cy;
    }
    return {std::max(x, workArea.left), std::max(y, workArea.top)};
}

// Every message goes on to the surface as well: a press still starts a drag or the menu.
std::optional<LRESULT> WinHoverTip::surfaceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        rested();
        return 0;
    }
    if (message == WM_NOTIFY) {
        return notified(lParam);
    }
    handle(message, wParam, lParam);
    return std::nullopt;
}

LRESULT CALLBACK WinHoverTip::ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);  // NOLINT(performance-no-int-to-ptr)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* tip = reinterpret_cast<WinHoverTip*>(::GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
    if (tip != nullptr && message == WM_NOTIFY) {
        if (const std::optional<LRESULT> answer = tip->notified(lParam)) {
            return *answer;
        }
    }
    if (tip != nullptr && message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        tip->owner_ = nullptr;
        tip->tip_ = nullptr;
        tip->open_ = false;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void WinHoverTip::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        pointerMoved({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}, wParam);
        break;
    case WM_MOUSELEAVE:
        // Off the window: coming back, even to the place it left, is a move.
        ::GetCursorPos(&screenPointer_);
        leaveTracked_ = false;
        inside_ = false;
        close();
        stopWaiting();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        // A press may start a capture or a move of the window, which can end the
        // watch for the pointer leaving: the next move asks for it again.
        leaveTracked_ = false;
        close();
        stopWaiting();
        break;
    default: break;
    }
}

// The system repeats a move now and then without the pointer moving, and reports one when
// the window comes up or moves under a still pointer: neither is a move. The pointer
// coming onto the window from elsewhere is.
void WinHoverTip::pointerMoved(POINT at, WPARAM keys) {
    if ((keys & kAnyButton) != 0) {
        close();
        stopWaiting();
        return;
    }
    if (!leaveTracked_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window_;
        leaveTracked_ = ::TrackMouseEvent(&track) != FALSE;
    }
    POINT screen = at;
    ::ClientToScreen(window_, &screen);
    const bool moved = screen.x != screenPointer_.x || screen.y != screenPointer_.y;
    screenPointer_ = screen;
    inside_ = true;
    pointer_ = at;
    if (!moved) {
        return;
    }
    if (open_) {
        show();
    } else {
        // The wait starts again at every move: the tip opens once the pointer rests.
        waiting_ = ::SetTimer(window_, kTimerId, kRestMilliseconds, nullptr) != 0;
    }
}

void WinHoverTip::rested() {
    stopWaiting();
    if (inside_ && !open_) {
        show();
    }
}

void WinHoverTip::stopWaiting() {
    if (waiting_ && window_ != nullptr) {
        ::KillTimer(window_, kTimerId);
    }
    waiting_ = false;
}

void WinHoverTip::show() {
    if (source_ == nullptr || window_ == nullptr || !inside_) {
        close();
        return;
    }
    lines_ = source_->readOut(surface_.toLogical(pointer_.x, pointer_.y).x);
    if (lines_.empty()) {
        close();
        return;
    }
    if (tip_ == nullptr) {
        makeTip();
    }
    fitFont();
    text_ = tipText();
    TOOLINFOW tool = toolOf(window_);
    tool.lpszText = text_.data();
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));

    POINT pointer = pointer_;
    ::ClientToScreen(window_, &pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    // One line of the read-out per line of the tip: wrapped only where the screen ends.
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, std::max<LONG>(work.right - work.left, 1));
    // The size the new text needs; where the control only knows that once it shows the
    // text, the tip goes where its real size puts it right after.
    const auto bubble = static_cast<DWORD>(::SendMessageW(tip_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    const SIZE offset{::MulDiv(kPointerOffset.cx, fontDpi_, USER_DEFAULT_SCREEN_DPI),
                      ::MulDiv(kPointerOffset.cy, fontDpi_, USER_DEFAULT_SCREEN_DPI)};
    POINT at = placeBeside(pointer, {LOWORD(bubble), HIWORD(bubble)}, offset, work);
    ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    if (!open_) {
        ::SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        ::SetWindowPos(tip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        open_ = true;
    }
    RECT shown{};
    ::GetWindowRect(tip_, &shown);
    const POINT fitted = placeBeside(pointer, {shown.right - shown.left, shown.bottom - shown.top}, offset, work);
    if (fitted.x != at.x || fitted.y != at.y) {
        at = fitted;
        ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    }
    // New numbers at the same place: painted again all the same.
    ::InvalidateRect(tip_, nullptr, TRUE);
}

void WinHoverTip::close() {
    if (open_ && tip_ != nullptr) {
        TOOLINFOW tool = toolOf(window_);
        ::SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    open_ = false;
    lines_.clear();
}

// Topmost, so that it shows over a gadget kept in front.
void WinHoverTip::makeTip() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static const bool registered = [this, instance] {
        if (const auto initialise = libraries_.find<win::Fn::InitCommonControlsEx>()) {
            INITCOMMONCONTROLSEX controls{};
            controls.dwSize = sizeof(controls);
            controls.dwICC = ICC_WIN95_CLASSES;
            initialise(&controls);
        }
        WNDCLASSEXW ownerClass{};
        ownerClass.cbSize = sizeof(ownerClass);
        ownerClass.lpfnWndProc = &WinHoverTip::ownerProcedure;
        ownerClass.hInstance = instance;
        ownerClass.lpszClassName = kOwnerClassName;
        return ::RegisterClassExW(&ownerClass) != 0;
    }();
    (void)registered;
    owner_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                               this);
    if (owner_ != nullptr) {
        tip_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, owner_, nullptr, instance, nullptr);
    }
    if (tip_ == nullptr) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot create the read-out's tooltip");
    }
    TOOLINFOW tool = toolOf(window_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int WinHoverTip::monitorDpi() const {
    if (const auto dpiForWindow = libraries_.find<win::Fn::GetDpiForWindow>()) {
        if (const UINT dpi = dpiForWindow(window_); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return screenDpi();
}

// The system's tooltip font, which it gives for its own resolution, at the resolution of
// the monitor the gadget is on; made again when the gadget has moved to another.
void WinHoverTip::fitFont() {
    const int dpi = monitorDpi();
    if (font_.valid() && dpi == fontDpi_) {
        return;
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW logFont{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE) {
        logFont = metrics.lfStatusFont;
    } else {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    }
    logFont.lfHeight = ::MulDiv(logFont.lfHeight, dpi, screenDpi());
    win::GdiObject font(::CreateFontIndirectW(&logFont));
    if (!font.valid()) {
        return;
    }
    ::SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    fontDpi_ = dpi;

    const HDC screen = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen, font_.get());
    TEXTMETRICW text{};
    ::GetTextMetricsW(screen, &text);
    SIZE space{};
    ::GetTextExtentPoint32W(screen, L" ", 1, &space);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    // A square the height of a capital letter, then a space.
    swatchSize_ = std::max<int>(text.tmAscent - text.tmInternalLeading, 4);
    const int spaceWidth = std::max<int>(space.cx, 1);
    roomSpaces_ = (swatchSize_ + spaceWidth + spaceWidth - 1) / spaceWidth;
    roomWidth_ = roomSpaces_ * spaceWidth;
}

// A line with a swatch leaves room for it at its start; a detail line stands that much
// further in.
std::wstring WinHoverTip::tipText() const {
    std::wstring text;
    for (const ReadOutLine& line : lines_) {
        if (!text.empty()) {
            text += L"\r\n";
        }
        const int room = (line.detail ? roomSpaces_ : 0) + (line.swatch ? roomSpaces_ : 0);
        text.append(static_cast<std::size_t>(room), L' ');
        text += wideFromUtf8(line.text);
    }
    return text;
}

std::optional<LRESULT> WinHoverTip::notified(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    if (tip_ == nullptr || header == nullptr || header->hwndFrom != tip_ || header->code != NM_CUSTOMDRAW) {
        return std::nullopt;
    }
    const auto* draw = reinterpret_cast<const NMTTCUSTOMDRAW*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYPOSTPAINT;
    }
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) {
        paintSwatches(draw->nmcd.hdc);
    }
    return CDRF_DODEFAULT;
}

void WinHoverTip::paintSwatches(HDC dc) const {
    // Where the control puts the text, in its own client coordinates.
    RECT area{};
    ::GetWindowRect(tip_, &area);
    ::SendMessageW(tip_, TTM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    ::MapWindowPoints(nullptr, tip_, reinterpret_cast<POINT*>(&area), 2);
    const HGDIOBJ previousFont = ::SelectObject(dc, font_.get());
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc, &text);
    ::SelectObject(dc, previousFont);
    const int lineHeight = text.tmHeight + text.tmExternalLeading;
    const HGDIOBJ previousBrush = ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
    int top = area.top;
    for (const ReadOutLine& line : lines_) {
        if (line.swatch) {
            const int left = area.left + (line.detail ? roomWidth_ : 0);
            const int y = top + text.tmAscent - swatchSize_;
            ::SetDCBrushColor(dc, colourRef(*line.swatch));
            ::PatBlt(dc, left, y, swatchSize_, swatchSize_, PATCOPY);
        }
        top += lineHeight;
    }
    ::SelectObject(dc, previousBrush);
}

}  // namespace quorvel
