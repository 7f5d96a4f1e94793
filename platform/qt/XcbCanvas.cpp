#include "platform/qt/XcbCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/RuntimeError.h"

namespace quorvel {
namespace {

// X coordinates are 16-bit; farther points are clipped to this box first, which leaves
// the pixels near the image as they were (up to a rounding where a line crosses it).
constexpr double coordinateLimit = 16384;
// Points per request, well below the server's request size without its extension.
constexpr std::size_t chunk = 16000;

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }  // NOLINT(cppcoreguidelines-no-malloc)
};

void check(xcb_connection_t* connection, xcb_void_cookie_t cookie, const char* what) {
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(connection, cookie));
    if (error) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, std::string("the X server refused ") + what + " (error " +
                                                               std::to_string(error->error_code) + ")");
    }
}

// The graphics function for each binary raster operation 1 to 16: the same sixteen
// operations of pen (source) and picture (destination), numbered differently.
constexpr std::array<std::uint32_t, 16> gxFunction{
    XCB_GX_CLEAR,       XCB_GX_NOR,        XCB_GX_AND_INVERTED, XCB_GX_COPY_INVERTED,
    XCB_GX_AND_REVERSE, XCB_GX_INVERT,     XCB_GX_XOR,          XCB_GX_NAND,
    XCB_GX_AND,         XCB_GX_EQUIV,      XCB_GX_NOOP,         XCB_GX_OR_INVERTED,
    XCB_GX_COPY,        XCB_GX_OR_REVERSE, XCB_GX_OR,           XCB_GX_SET};

// Operations where combining a pixel twice with the pen gives what combining it once does.
bool idempotent(int drawMode) {
    switch (drawMode) {
    case 1:
    case 3:
    case 4:
    case 9:
    case 11:
    case 12:
    case 13:
    case 15:
    case 16: return true;
    default: return false;
    }
}

// The dash patterns of the pen styles 1 to 4, as LineRaster draws them: alternating on
// and off lengths in pixels along the major axis.
std::span<const std::uint8_t> dashes(int style) {
    static constexpr std::array<std::uint8_t, 2> dash{18, 6};
    static constexpr std::array<std::uint8_t, 2> dot{3, 3};
    static constexpr std::array<std::uint8_t, 4> dashDot{9, 6, 3, 6};
    static constexpr std::array<std::uint8_t, 6> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case 1: return dash;
    case 2: return dot;
    case 3: return dashDot;
    default: return dashDotDot;
    }
}

// Liang-Barsky: clips the segment to the coordinate box; false when nothing is left.
bool clipToLimit(double& x0, double& y0, double& x1, double& y1) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const std::array<double, 4> p{-dx, dx, -dy, dy};
    const std::array<double, 4> q{x0 + coordinateLimit, coordinateLimit - x0, y0 + coordinateLimit,
                                  coordinateLimit - y0};
    for (std::size_t i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const double ax = x0 + t0 * dx;
    const double ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

bool withinLimit(DevicePoint p) {
    return std::abs(p.x) <= coordinateLimit && std::abs(p.y) <= coordinateLimit;
}

xcb_point_t xPoint(DevicePoint p) {
    return {static_cast<std::int16_t>(p.x), static_cast<std::int16_t>(p.y)};
}

}  // namespace

XcbCanvas::XcbCanvas(xcb_connection_t* connection, xcb_window_t root, std::uint8_t depth)
    : connection_(connection), root_(root), depth_(depth) {
    // Graphics contexts need a drawable of their depth to be made on.
    const xcb_pixmap_t probe = xcb_generate_id(connection_);
    check(connection_, xcb_create_pixmap_checked(connection_, depth_, probe, root_, 1, 1), "a pixmap");
    drawGc_ = xcb_generate_id(connection_);
    // Thin lines (width 0) without their last point, as LineRaster leaves it out.
    const std::array<std::uint32_t, 2> drawValues{XCB_CAP_STYLE_NOT_LAST, 0};
    const xcb_void_cookie_t drawCookie = xcb_create_gc_checked(
        connection_, drawGc_, probe, XCB_GC_CAP_STYLE | XCB_GC_GRAPHICS_EXPOSURES, drawValues.data());
    copyGc_ = xcb_generate_id(connection_);
    // No GraphicsExpose or NoExpose events for copies: nobody waits for them.
    const std::uint32_t noExposures = 0;
    const xcb_void_cookie_t copyCookie =
        xcb_create_gc_checked(connection_, copyGc_, probe, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    xcb_free_pixmap(connection_, probe);
    try {
        check(connection_, drawCookie, "a graphics context");
        check(connection_, copyCookie, "a graphics context");
    } catch (...) {
        xcb_free_gc(connection_, drawGc_);
        xcb_free_gc(connection_, copyGc_);
        xcb_flush(connection_);
        throw;
    }
}

XcbCanvas::~XcbCanvas() {
    if (pixmap_ != 0) {
        xcb_free_pixmap(connection_, pixmap_);
    }
    xcb_free_gc(connection_, drawGc_);
    xcb_free_gc(connection_, copyGc_);
    xcb_flush(connection_);
}

void XcbCanvas::resize(int width, int height, std::uint32_t backPixel) {
    if (width == width_ && height == height_) {
        return;
    }
    xcb_pixmap_t resized = 0;
    if (width > 0 && height > 0) {
        resized = xcb_generate_id(connection_);
        check(connection_,
              xcb_create_pixmap_checked(connection_, depth_, resized, root_, static_cast<std::uint16_t>(width),
                                        static_cast<std::uint16_t>(height)),
              "a pixmap");
        const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
        sendRectangles();
        setCopyForeground(backPixel);
        xcb_poly_fill_rectangle(connection_, resized, copyGc_, 1, &all);
        if (pixmap_ != 0) {
            xcb_copy_area(connection_, pixmap_, resized, copyGc_, 0, 0, 0, 0,
                          static_cast<std::uint16_t>(std::min(width, width_)),
                          static_cast<std::uint16_t>(std::min(height, height_)));
        }
    }
    if (pixmap_ != 0) {
        xcb_free_pixmap(connection_, pixmap_);
    }
    pixmap_ = resized;
    width_ = resized != 0 ? width : 0;
    height_ = resized != 0 ? height : 0;
}

void XcbCanvas::setPen(const Pen& pen) {
    pen_ = pen;
    pen_.width = std::max(pen.width, 1);
    pen_.drawMode = std::clamp(pen.drawMode, 1, 16);
}

bool XcbCanvas::drawsAnything() const {
    return pixmap_ != 0 && pen_.style != 5 && pen_.drawMode != 11;
}

void XcbCanvas::apply(const GcState& wanted) {
    std::array<std::uint32_t, 3> values{};
    std::uint32_t mask = 0;
    std::size_t n = 0;
    auto set = [&](std::uint32_t bit, std::uint32_t have, std::uint32_t want) {
        if (!gcKnown_ || have != want) {
            mask |= bit;
            values.at(n++) = want;
        }
    };
    // In the order of the mask bits, as the request lists its values.
    set(XCB_GC_FUNCTION, gc_.function, wanted.function);
    set(XCB_GC_FOREGROUND, gc_.foreground, wanted.foreground);
    set(XCB_GC_LINE_STYLE, gc_.lineStyle, wanted.lineStyle);
    if (mask != 0 || (wanted.dashes != 0 && wanted.dashes != gc_.dashes)) {
        sendRectangles();
    }
    if (mask != 0) {
        xcb_change_gc(connection_, drawGc_, mask, values.data());
    }
    if (wanted.dashes != 0 && wanted.dashes != gc_.dashes) {
        const std::span<const std::uint8_t> list = dashes(wanted.dashes);
        xcb_set_dashes(connection_, drawGc_, 0, static_cast<std::uint16_t>(list.size()), list.data());
    }
    const int keptDashes = wanted.dashes != 0 ? wanted.dashes : gc_.dashes;
    gc_ = wanted;
    gc_.dashes = keptDashes;
    gcKnown_ = true;
}

void XcbCanvas::polyline(DevicePoint from, std::span<const DevicePoint> points) {
    if (!drawsAnything() || points.empty()) {
        return;
    }
    const bool dashed = pen_.width == 1 && pen_.style >= 1 && pen_.style <= 4;
    apply({.function = gxFunction.at(static_cast<std::size_t>(pen_.drawMode - 1)),
           .foreground = pen_.pixel,
           .lineStyle = dashed ? std::uint32_t{XCB_LINE_STYLE_ON_OFF_DASH} : std::uint32_t{XCB_LINE_STYLE_SOLID},
           .dashes = dashed ? pen_.style : 0});
    // One-pixel lines are the server's thin lines, which cover LineRaster's pixels. A
    // two-pixel pen is LineRaster's square swept along them: four thin lines a pixel
    // apart, where drawing a pixel twice does no harm. The server's wide lines are bands
    // of the exact width, narrower than a square swept along a slope; other pens are
    // therefore sent as the pixel runs that LineRaster gives each segment.
    if (points.size() == 1 && !dashed && (from.x == points[0].x || from.y == points[0].y)) {
        sendBar(from, points[0]);
        return;
    }
    if (pen_.width > 2 || (pen_.width == 2 && !idempotent(pen_.drawMode))) {
        sendRuns(from, points);
        return;
    }
    const int copies = pen_.width == 2 ? 4 : 1;
    const bool contiguous = withinLimit(from) && std::all_of(points.begin(), points.end(), withinLimit);
    // Dashes start again at each segment.
    if (contiguous && !dashed) {
        sendPolyline(from, points, copies);
    } else {
        sendSegments(from, points, copies);
    }
}

namespace {

// The offset of copy `copy` of `copies`: (0, 0), (-1, 0), (0, -1), (-1, -1).
std::int16_t shiftX(int copy, int copies) {
    return copies == 1 ? std::int16_t{0} : static_cast<std::int16_t>(-(copy & 1));
}
std::int16_t shiftY(int copy, int copies) {
    return copies == 1 ? std::int16_t{0} : static_cast<std::int16_t>(-(copy >> 1));
}

}  // namespace

// A level or upright segment is a rectangle: its centre pixels from the start up to the
// end, widened to the pen's square. The grid is made of these.
void XcbCanvas::sendBar(DevicePoint from, DevicePoint to) {
    if (from == to) {
        return;
    }
    const std::int64_t w = pen_.width;
    const std::int64_t o = w / 2;
    const auto back = [](std::int32_t a, std::int32_t b) { return std::int64_t{b} - (b > a ? 1 : -1); };
    const std::int64_t x0 = std::min<std::int64_t>(from.x, from.y == to.y ? back(from.x, to.x) : from.x) - o;
    const std::int64_t x1 = std::max<std::int64_t>(from.x, from.y == to.y ? back(from.x, to.x) : from.x) - o + w;
    const std::int64_t y0 = std::min<std::int64_t>(from.y, from.x == to.x ? back(from.y, to.y) : from.y) - o;
    const std::int64_t y1 = std::max<std::int64_t>(from.y, from.x == to.x ? back(from.y, to.y) : from.y) - o + w;
    const std::int64_t left = std::max<std::int64_t>(x0, 0);
    const std::int64_t right = std::min<std::int64_t>(x1, width_);
    const std::int64_t top = std::max<std::int64_t>(y0, 0);
    const std::int64_t bottom = std::min<std::int64_t>(y1, height_);
    if (left >= right || top >= bottom) {
        return;
    }
    // Consecutive bars in one pen go out together.
    rectangles_.push_back({static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                           static_cast<std::uint16_t>(right - left), static_cast<std::uint16_t>(bottom - top)});
    if (rectangles_.size() >= chunk / 2) {
        sendRectangles();
    }
}

void XcbCanvas::sendRuns(DevicePoint from, std::span<const DevicePoint> points) {
    const auto size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    if (mask_.size() != size) {
        mask_.assign(size, 0);
    }
    maskRaster_.attach(mask_.data(), width_, width_, height_);
    maskRaster_.setPen({.pixel = 1, .width = pen_.width, .style = 0, .drawMode = 13, .scale = DeviceScale()});
    DevicePoint previous = from;
    for (const DevicePoint& p : points) {
        if (p != previous) {
            collectRuns(previous, p);
        }
        previous = p;
    }
    sendRectangles();
}

// Draws one segment into the mask, then turns the pixels it set into rectangles of one
// row each and clears them again; only the segment's bounds are scanned.
void XcbCanvas::collectRuns(DevicePoint a, DevicePoint b) {
    maskRaster_.segment(a, b);
    const std::int64_t reach = pen_.width;
    const auto clampTo = [](std::int64_t v, int limit) {
        return static_cast<int>(std::clamp<std::int64_t>(v, 0, limit));
    };
    const int left = clampTo(std::int64_t{std::min(a.x, b.x)} - reach, width_);
    const int right = clampTo(std::int64_t{std::max(a.x, b.x)} + reach + 1, width_);
    const int top = clampTo(std::int64_t{std::min(a.y, b.y)} - reach, height_);
    const int bottom = clampTo(std::int64_t{std::max(a.y, b.y)} + reach + 1, height_);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = mask_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        int x = left;
        while (x < right) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < right && row[x] != 0) {
                row[x] = 0;
                ++x;
            }
            rectangles_.push_back({static_cast<std::int16_t>(start), static_cast<std::int16_t>(y),
                                   static_cast<std::uint16_t>(x - start), 1});
        }
    }
    if (rectangles_.size() >= chunk / 2) {
        sendRectangles();
    }
}

void XcbCanvas::sendRectangles() {
    if (!rectangles_.empty()) {
        xcb_poly_fill_rectangle(connection_, pixmap_, drawGc_, static_cast<std::uint32_t>(rectangles_.size()),
                                rectangles_.data());
        rectangles_.clear();
    }
}

void XcbCanvas::sendPolyline(DevicePoint from, std::span<const DevicePoint> points, int copies) {
    sendRectangles();
    points_.clear();
    points_.push_back(xPoint(from));
    for (const DevicePoint& p : points) {
        const xcb_point_t q = xPoint(p);
        if (q.x != points_.back().x || q.y != points_.back().y) {
            points_.push_back(q);
        }
    }
    if (points_.size() < 2) {
        return;
    }
    for (int copy = 0; copy < copies; ++copy) {
        const std::int16_t dx = shiftX(copy, copies);
        const std::int16_t dy = shiftY(copy, copies);
        // Consecutive requests share a point: the end that one leaves out, the next draws.
        for (std::size_t start = 0; start + 1 < points_.size(); start += chunk - 1) {
            const std::size_t count = std::min(chunk, points_.size() - start);
            copyPoints_.assign(points_.begin() + static_cast<std::ptrdiff_t>(start),
                               points_.begin() + static_cast<std::ptrdiff_t>(start + count));
            for (xcb_point_t& q : copyPoints_) {
                q = {static_cast<std::int16_t>(q.x + dx), static_cast<std::int16_t>(q.y + dy)};
            }
            xcb_poly_line(connection_, XCB_COORD_MODE_ORIGIN, pixmap_, drawGc_, static_cast<std::uint32_t>(count),
                          copyPoints_.data());
        }
    }
}

void XcbCanvas::sendSegments(DevicePoint from, std::span<const DevicePoint> points, int copies) {
    sendRectangles();
    segments_.clear();
    DevicePoint previous = from;
    for (const DevicePoint& p : points) {
        double x0 = previous.x;
        double y0 = previous.y;
        double x1 = p.x;
        double y1 = p.y;
        previous = p;
        if ((x0 == x1 && y0 == y1) || !clipToLimit(x0, y0, x1, y1)) {
            continue;
        }
        const xcb_segment_t s{static_cast<std::int16_t>(std::lround(x0)), static_cast<std::int16_t>(std::lround(y0)),
                              static_cast<std::int16_t>(std::lround(x1)), static_cast<std::int16_t>(std::lround(y1))};
        if (s.x1 != s.x2 || s.y1 != s.y2) {
            segments_.push_back(s);
        }
    }
    const std::size_t perRequest = chunk / 2;
    for (int copy = 0; copy < copies; ++copy) {
        const std::int16_t dx = shiftX(copy, copies);
        const std::int16_t dy = shiftY(copy, copies);
        for (std::size_t start = 0; start < segments_.size(); start += perRequest) {
            const std::size_t count = std::min(perRequest, segments_.size() - start);
            copySegments_.assign(segments_.begin() + static_cast<std::ptrdiff_t>(start),
                                 segments_.begin() + static_cast<std::ptrdiff_t>(start + count));
            for (xcb_segment_t& s : copySegments_) {
                s = {static_cast<std::int16_t>(s.x1 + dx), static_cast<std::int16_t>(s.y1 + dy),
                     static_cast<std::int16_t>(s.x2 + dx), static_cast<std::int16_t>(s.y2 + dy)};
            }
            xcb_poly_segment(connection_, pixmap_, drawGc_, static_cast<std::uint32_t>(count), copySegments_.data());
        }
    }
}

void XcbCanvas::fill(std::uint32_t pixel) {
    if (pixmap_ == 0) {
        return;
    }
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_)};
    sendRectangles();
    setCopyForeground(pixel);
    xcb_poly_fill_rectangle(connection_, pixmap_, copyGc_, 1, &all);
}

void XcbCanvas::copyTo(xcb_window_t window, int x, int y) {
    sendRectangles();
    if (pixmap_ == 0 || window == 0) {
        return;
    }
    xcb_copy_area(connection_, pixmap_, window, copyGc_, 0, 0, static_cast<std::int16_t>(x),
                  static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width_),
                  static_cast<std::uint16_t>(height_));
}

void XcbCanvas::fillOn(xcb_window_t window, std::uint32_t pixel, std::span<const xcb_rectangle_t> rectangles) {
    if (window == 0 || rectangles.empty()) {
        return;
    }
    setCopyForeground(pixel);
    xcb_poly_fill_rectangle(connection_, window, copyGc_, static_cast<std::uint32_t>(rectangles.size()),
                            rectangles.data());
}

void XcbCanvas::flush() {
    sendRectangles();
    xcb_flush(connection_);
}

void XcbCanvas::setCopyForeground(std::uint32_t pixel) {
    if (!copyForeground_ || *copyForeground_ != pixel) {
        xcb_change_gc(connection_, copyGc_, XCB_GC_FOREGROUND, &pixel);
        copyForeground_ = pixel;
    }
}

std::vector<std::uint32_t> XcbCanvas::readBack() {
    sendRectangles();
    const auto count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    if (pixmap_ == 0) {
        return {};
    }
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> reply(
        xcb_get_image_reply(connection_,
                            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, 0, 0,
                                          static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_), ~0U),
                            &error));
    std::free(error);  // NOLINT(cppcoreguidelines-no-malloc)
    if (!reply || static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) != count * 4) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the X server did not return the image as 32-bit pixels");
    }
    std::vector<std::uint32_t> pixels(count);
    std::copy_n(xcb_get_image_data(reply.get()), count * 4, reinterpret_cast<std::uint8_t*>(pixels.data()));
    return pixels;
}

}  // namespace quorvel
