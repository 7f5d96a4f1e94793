#include "platform/windows/GdiDrawingSurface.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "common/RuntimeError.h"
#include "platform/windows/GdiFont.h"

namespace quorvel {
namespace {

constexpr const wchar_t* windowClassName = L"QuorvelDrawingSurface";
constexpr UINT dpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT

// Pixel centres stand at whole multiples of a pixel's logical size, as on the image
// surface. Far-off points are pulled in to a range that keeps the direction of every
// visible line and that the system's coordinates hold.
int toPixel(float logical, double pixelsPerUnit) {
    constexpr std::int32_t limit = 1 << 24;
    constexpr double bound = limit;
    double device = static_cast<double>(logical) * pixelsPerUnit + 0.5;
    device = device > -bound ? device : -bound;
    device = device < bound ? device : bound;
    return static_cast<int>(static_cast<std::int64_t>(device + bound) - std::int64_t{limit});
}

void registerWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.lpszClassName = windowClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

void fillRect(HDC dc, RECT box, int systemColour) {
    if (box.right > box.left && box.bottom > box.top) {
        ::FillRect(dc, &box, ::GetSysColorBrush(systemColour));
    }
}

void fillSolid(HDC dc, int width, int height, COLORREF colour) {
    const HGDIOBJ previous = ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
    ::SetDCBrushColor(dc, colour);
    ::PatBlt(dc, 0, 0, width, height, PATCOPY);
    ::SelectObject(dc, previous);
}

}  // namespace

GdiDrawingSurface::GdiDrawingSurface(HWND parent) : dc_(::CreateCompatibleDC(nullptr)), pens_(dc_.get()) {
    if (!dc_.valid()) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot create a memory DC for the drawing surface");
    }
    // The gaps of a dashed pen leave the picture as it is.
    ::SetBkMode(dc_.get(), TRANSPARENT);
    LOGFONTW logFont{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    font_ = std::make_shared<const FontObject>(win::fontObjectOf(logFont, ::GetDeviceCaps(dc_.get(), LOGPIXELSY)));
    // The window last: nothing after it may fail and leave it behind.
    if (parent != nullptr) {
        registerWindowClass(&GdiDrawingSurface::windowProcedure);
        window_ = ::CreateWindowExW(0, windowClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                    parent, nullptr, ::GetModuleHandleW(nullptr), this);
        if (window_ == nullptr) {
            throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot create the drawing surface's window");
        }
    }
    scale_ = screenScale();
    fitImage();  // no image yet at a size of 0, so nothing to fail
}

GdiDrawingSurface::~GdiDrawingSurface() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
    if (originalBitmap_ != nullptr) {
        ::SelectObject(dc_.get(), originalBitmap_);
    }
    if (originalFont_ != nullptr) {
        ::SelectObject(dc_.get(), originalFont_);
    }
}

RECT GdiDrawingSurface::drawingArea() const {
    const int border = borderWidth();
    return {border, border, border + std::max(windowWidth_ - 2 * border, 0),
            border + std::max(windowHeight_ - 2 * border, 0)};
}

// A three-dimensional border is two lines deep, a flat one one line.
int GdiDrawingSurface::borderWidth() const {
    if (borderStyle_ == 0) {
        return 0;
    }
    return (appearance_ == 1 ? 2 : 1) * scale_.pixels(1);
}

DeviceScale GdiDrawingSurface::screenScale() {
    UINT dpi = 0;
    if (window_ != nullptr) {
        if (const auto dpiForWindow = libraries_.find<win::Fn::GetDpiForWindow>()) {
            dpi = dpiForWindow(window_);
        }
    }
    if (dpi == 0) {
        dpi = static_cast<UINT>(::GetDeviceCaps(dc_.get(), LOGPIXELSX));
    }
    return DeviceScale(static_cast<double>(dpi) / 96.0);
}

// Keeps the image the size of the drawing area; what it held stays at the top left and
// new parts show the back colour. After a change of scale the old picture is carried
// over enlarged or reduced, pixel for pixel, until the owner's next drawing replaces it.
void GdiDrawingSurface::fitImage() {
    const DeviceScale previous = scale_;
    scale_ = screenScale();
    const RECT area = drawingArea();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width != imageWidth_ || height != imageHeight_ || scale_ != previous) {
        win::GdiObject resized;
        void* bits = nullptr;
        if (width > 0 && height > 0) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;  // top-down
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            resized.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!resized.valid()) {
                throw RuntimeError(ErrorKind::OutOfMemory, "cannot create the drawing surface's image");
            }
            const win::MemoryDc target(::CreateCompatibleDC(dc_.get()));
            const HGDIOBJ before = ::SelectObject(target.get(), resized.get());
            fillSolid(target.get(), width, height, colourOf(backColor_));
            if (image_.valid()) {
                const double factor = scale_.ratio() / previous.ratio();
                ::SetStretchBltMode(target.get(), COLORONCOLOR);
                ::StretchBlt(target.get(), 0, 0, static_cast<int>(std::lround(imageWidth_ * factor)),
                             static_cast<int>(std::lround(imageHeight_ * factor)), dc_.get(), 0, 0, imageWidth_,
                             imageHeight_, SRCCOPY);
            }
            ::SelectObject(target.get(), before);
        }
        if (resized.valid()) {
            const HGDIOBJ old = ::SelectObject(dc_.get(), resized.get());
            originalBitmap_ = originalBitmap_ != nullptr ? originalBitmap_ : old;
        } else if (originalBitmap_ != nullptr) {
            ::SelectObject(dc_.get(), originalBitmap_);
        }
        image_ = std::move(resized);
        bits_ = static_cast<std::uint32_t*>(bits);
        imageWidth_ = bits_ != nullptr ? width : 0;
        imageHeight_ = bits_ != nullptr ? height : 0;
    }
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GdiDrawingSurface::place(int left, int top, int width, int height) {
    windowWidth_ = std::max(width, 0);
    windowHeight_ = std::max(height, 0);
    if (window_ != nullptr) {
        ::SetWindowPos(window_, nullptr, left, top, windowWidth_, windowHeight_, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitImage();
}

POINT GdiDrawingSurface::toDevice(LogicalPoint point) const {
    return {toPixel(point.x, static_cast<double>(imageWidth_) / scaleWidth_),
            toPixel(point.y, static_cast<double>(imageHeight_) / scaleHeight_)};
}

LogicalPoint GdiDrawingSurface::toLogical(int x, int y) const {
    const RECT area = drawingArea();
    auto map = [](int offset, float extent, int pixels) {
        return pixels > 0 ? static_cast<float>(static_cast<double>(offset) * extent / pixels) : 0.0F;
    };
    return {map(x - area.left, scaleWidth_, area.right - area.left),
            map(y - area.top, scaleHeight_, area.bottom - area.top)};
}

// A system colour's index beyond the system's table gives black.
COLORREF GdiDrawingSurface::colourOf(Colour colour) const {
    if (isSystemColour(colour)) {
        return ::GetSysColor(systemColourIndex(colour));
    }
    return static_cast<COLORREF>(colour) & 0x00FFFFFFU;
}

bool GdiDrawingSurface::drawsAnything() const {
    return bits_ != nullptr;
}

void GdiDrawingSurface::selectPen(Colour colour) {
    pens_.select({.colour = colourOf(colour), .width = drawWidth_, .style = drawStyle_, .scale = scale_});
    ::SetROP2(dc_.get(), drawMode_);
}

// Whatever was drawn shows at the next paint, which one invalidation brings.
void GdiDrawingSurface::drawn() {
    if (window_ != nullptr && !paintPending_) {
        paintPending_ = true;
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GdiDrawingSurface::lineTo(LogicalPoint to, std::optional<Colour> colour) {
    line(pen_, to, colour.value_or(foreColor_));
}

void GdiDrawingSurface::line(LogicalPoint from, LogicalPoint to, Colour colour) {
    if (drawsAnything()) {
        selectPen(colour);
        const POINT a = toDevice(from);
        const POINT b = toDevice(to);
        ::MoveToEx(dc_.get(), a.x, a.y, nullptr);
        ::LineTo(dc_.get(), b.x, b.y);
        drawn();
    }
    pen_ = to;
}

// One polyline where joining the segments changes nothing: a solid pen that copies. Any
// other pen draws segment by segment, so that each is combined with the picture on its
// own and each dash pattern starts afresh, as separate lines would.
void GdiDrawingSurface::seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) {
    if (ys.empty()) {
        return;
    }
    if (drawsAnything()) {
        selectPen(colour.value_or(foreColor_));
        points_.clear();
        points_.push_back(toDevice(pen_));
        for (std::size_t i = 0; i < ys.size(); ++i) {
            points_.push_back(toDevice({firstX + static_cast<float>(i), ys[i]}));
        }
        const bool joined = drawMode_ == 13 && (drawStyle_ == 0 || drawStyle_ == 6);
        if (joined) {
            ::Polyline(dc_.get(), points_.data(), static_cast<int>(points_.size()));
        } else {
            ::MoveToEx(dc_.get(), points_.front().x, points_.front().y, nullptr);
            for (std::size_t i = 1; i < points_.size(); ++i) {
                ::LineTo(dc_.get(), points_[i].x, points_[i].y);
            }
        }
        drawn();
    }
    pen_ = {firstX + static_cast<float>(ys.size() - 1), ys.back()};
}

void GdiDrawingSurface::clear() {
    if (drawsAnything()) {
        fillSolid(dc_.get(), imageWidth_, imageHeight_, colourOf(backColor_));
        drawn();
    }
    pen_ = {};
}

void GdiDrawingSurface::refresh() {
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GdiDrawingSurface::enabledChanged(bool enabled) {
    if (window_ != nullptr) {
        ::EnableWindow(window_, enabled ? TRUE : FALSE);
    }
}

void GdiDrawingSurface::fontChanged(const FontObject& font) {
    const LOGFONTW logFont = win::logFontOf(font, static_cast<int>(std::lround(scale_.ratio() * 96.0)));
    win::GdiObject created(::CreateFontIndirectW(&logFont));
    if (created.valid()) {
        const HGDIOBJ old = ::SelectObject(dc_.get(), created.get());
        originalFont_ = originalFont_ != nullptr ? originalFont_ : old;
        gdiFont_ = std::move(created);
    }
}

void GdiDrawingSurface::borderChanged() {
    fitImage();
}

void GdiDrawingSurface::setErrorHandler(std::function<void(std::exception_ptr)> handler) {
    input_.setErrorHandler(std::move(handler));
}

std::vector<std::uint32_t> GdiDrawingSurface::picture() const {
    ::GdiFlush();
    std::vector<std::uint32_t> pixels;
    if (bits_ != nullptr) {
        pixels.assign(bits_, bits_ + static_cast<std::ptrdiff_t>(imageWidth_) * imageHeight_);
        for (std::uint32_t& p : pixels) {
            p &= 0x00FFFFFFU;
        }
    }
    return pixels;
}

LRESULT CALLBACK GdiDrawingSurface::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window's user data holds its surface, from its first message to its last.
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);  // NOLINT(performance-no-int-to-ptr)
        auto* created = static_cast<GdiDrawingSurface*>(create->lpCreateParams);
        created->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    const LONG_PTR data = ::GetWindowLongPtrW(window, GWLP_USERDATA);
    auto* surface = reinterpret_cast<GdiDrawingSurface*>(data);  // NOLINT(performance-no-int-to-ptr)
    if (surface == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        surface->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        if (surface->hook_) {
            if (const std::optional<LRESULT> answer = surface->hook_(message, wParam, lParam)) {
                return *answer;
            }
        }
        return surface->handleMessage(message, wParam, lParam);
    } catch (...) {
        surface->input_.reportError(std::current_exception());
        return 0;
    }
}

LRESULT GdiDrawingSurface::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case dpiChangedAfterParent: fitImage(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        // Focus for the keys, and the mouse held until its buttons go up; a listener
        // that starts a move of the window releases it again.
        if (::GetFocus() != window_) {
            ::SetFocus(window_);
        }
        ::SetCapture(window_);
        break;
    default: break;
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL) {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        ::GetClientRect(window_, &client);
        if (input_.mouse(message, wParam, toLogical(at.x, at.y), ::PtInRect(&client, at) != FALSE)) {
            const bool released = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
            if (released && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == window_) {
                ::ReleaseCapture();
            }
            return 0;
        }
    }
    // Keys with Alt go on to the system as well, which closes the window on Alt+F4 and
    // opens its menu on Alt.
    if (input_.key(message, wParam) && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP) {
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void GdiDrawingSurface::paint() {
    if (screenScale() != scale_) {
        fitImage();
    }
    paintPending_ = false;
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(window_, &ps);
    paintBorder(dc);
    if (bits_ != nullptr) {
        const RECT area = drawingArea();
        ::BitBlt(dc, area.left, area.top, imageWidth_, imageHeight_, dc_.get(), 0, 0, SRCCOPY);
    }
    ::EndPaint(window_, &ps);
}

// A flat border is one line in the window-frame colour; a three-dimensional one is sunken,
// two lines deep. A line is one platform pixel, in the window's pixels.
void GdiDrawingSurface::paintBorder(HDC dc) const {
    if (borderStyle_ == 0 || windowWidth_ <= 0 || windowHeight_ <= 0) {
        return;
    }
    const int t = scale_.pixels(1);
    auto frame = [&](RECT box, int topLeft, int bottomRight) {
        fillRect(dc, {box.left, box.top, box.right, box.top + t}, topLeft);
        fillRect(dc, {box.left, box.top, box.left + t, box.bottom}, topLeft);
        fillRect(dc, {box.left, box.bottom - t, box.right, box.bottom}, bottomRight);
        fillRect(dc, {box.right - t, box.top, box.right, box.bottom}, bottomRight);
    };
    const RECT all{0, 0, windowWidth_, windowHeight_};
    if (appearance_ == 0) {
        frame(all, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
        return;
    }
    frame(all, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    frame({t, t, windowWidth_ - t, windowHeight_ - t}, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

}  // namespace quorvel
