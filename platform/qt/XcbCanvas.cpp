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
// Shapes a frame may hold before it goes out as it is drawn: two frames are kept.
constexpr std::size_t frameLimit = 1U << 16U;

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
    commit();
    xcb_pixmap_t resized = 0;
    if (width > 0 && height > 0) {
        resized = xcb_generate_id(connection_);
        check(connection_,
              xcb_create_pixmap_checked(connection_, depth_, resized, root_, static_cast<std::uint16_t>(width),
                                        static_cast<std::uint16_t>(height)),
              "a pixmap");
        const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
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
    // The new pixmap is no frame's picture, and the window has none of it yet.
    shownValid_ = false;
    damage_ = whole();
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
    if (wanted != gc_) {
        sendRectangles();
        gc_ = wanted;
    }
}

void XcbCanvas::sendGc(const GcState& wanted) {
    std::array<std::uint32_t, 3> values{};
    std::uint32_t mask = 0;
    std::size_t n = 0;
    auto set = [&](std::uint32_t bit, std::uint32_t have, std::uint32_t want) {
        if (!serverGcKnown_ || have != want) {
            mask |= bit;
            values.at(n++) = want;
        }
    };
    // In the order of the mask bits, as the request lists its values.
    set(XCB_GC_FUNCTION, serverGc_.function, wanted.function);
    set(XCB_GC_FOREGROUND, serverGc_.foreground, wanted.foreground);
    set(XCB_GC_LINE_STYLE, serverGc_.lineStyle, wanted.lineStyle);
    if (mask != 0) {
        xcb_change_gc(connection_, drawGc_, mask, values.data());
    }
    // A solid pen keeps the dash list it finds.
    if (wanted.dashes != 0 && wanted.dashes != serverDashes_) {
        const std::span<const std::uint8_t> list = dashes(wanted.dashes);
        xcb_set_dashes(connection_, drawGc_, 0, static_cast<std::uint16_t>(list.size()), list.data());
        serverDashes_ = wanted.dashes;
    }
    serverGc_ = wanted;
    serverGcKnown_ = true;
}

void XcbCanvas::setClip(const Box& box) {
    if (clipKnown_ && box == clip_) {
        return;
    }
    if (box.empty()) {
        const std::uint32_t none = XCB_NONE;
        xcb_change_gc(connection_, drawGc_, XCB_GC_CLIP_MASK, &none);
    } else {
        const xcb_rectangle_t r{static_cast<std::int16_t>(box.left), static_cast<std::int16_t>(box.top),
                                static_cast<std::uint16_t>(box.right - box.left),
                                static_cast<std::uint16_t>(box.bottom - box.top)};
        xcb_set_clip_rectangles(connection_, XCB_CLIP_ORDERING_YX_BANDED, drawGc_, 0, 0, 1, &r);
    }
    clip_ = box;
    clipKnown_ = true;
}

bool XcbCanvas::Box::meets(const Box& other) const noexcept {
    return !empty() && !other.empty() && left < other.right && other.left < right && top < other.bottom &&
           other.top < bottom;
}

void XcbCanvas::Box::add(const Box& other) noexcept {
    if (other.empty()) {
        return;
    }
    if (empty()) {
        *this = other;
        return;
    }
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

namespace {

bool sameRectangles(const std::vector<xcb_rectangle_t>& a, const std::vector<xcb_rectangle_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const xcb_rectangle_t& p, const xcb_rectangle_t& q) {
        return p.x == q.x && p.y == q.y && p.width == q.width && p.height == q.height;
    });
}

bool samePoints(const std::vector<xcb_point_t>& a, const std::vector<xcb_point_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const xcb_point_t& p, const xcb_point_t& q) { return p.x == q.x && p.y == q.y; });
}

bool sameSegments(const std::vector<xcb_segment_t>& a, const std::vector<xcb_segment_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const xcb_segment_t& p, const xcb_segment_t& q) {
        return p.x1 == q.x1 && p.y1 == q.y1 && p.x2 == q.x2 && p.y2 == q.y2;
    });
}

}  // namespace

bool XcbCanvas::Request::same(const Request& other) const {
    return gc == other.gc && sameRectangles(rectangles, other.rectangles) && samePoints(points, other.points) &&
           sameSegments(segments, other.segments);
}

// A request to fill in: its shape vectors empty, with their room kept.
XcbCanvas::Request& XcbCanvas::next() {
    Request* request = &direct_;
    if (framing_) {
        if (frameSize_ == frame_.size()) {
            frame_.emplace_back();
        }
        request = &frame_[frameSize_++];
    }
    request->gc = gc_;
    request->rectangles.clear();
    request->points.clear();
    request->segments.clear();
    return *request;
}

// Works out the pixels a filled-in request can reach; outside a frame it goes out now.
void XcbCanvas::record(Request& request) {
    // A thin line stays inside the box of its ends; one more pixel all round for safety.
    Box box;
    for (const xcb_rectangle_t& r : request.rectangles) {
        box.add({r.x, r.y, r.x + r.width, r.y + r.height});
    }
    for (const xcb_point_t& p : request.points) {
        box.add({p.x - 1, p.y - 1, p.x + 2, p.y + 2});
    }
    for (const xcb_segment_t& s : request.segments) {
        box.add(
            {std::min(s.x1, s.x2) - 1, std::min(s.y1, s.y2) - 1, std::max(s.x1, s.x2) + 2, std::max(s.y1, s.y2) + 2});
    }
    request.bounds = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width_),
                      std::min(box.bottom, height_)};
    if (framing_) {
        frameShapes_ += request.rectangles.size() + request.points.size() + request.segments.size();
        if (frameShapes_ > frameLimit) {
            spill();
        }
        return;
    }
    setClip({});
    send(request);
    damage_.add(request.bounds);
    shownValid_ = false;
}

// A frame too large to keep goes out now, and what follows it until the next fill goes
// out as it is drawn.
void XcbCanvas::spill() {
    framing_ = false;
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_)};
    setCopyForeground(frameBack_);
    xcb_poly_fill_rectangle(connection_, pixmap_, copyGc_, 1, &all);
    setClip({});
    for (std::size_t i = 0; i < frameSize_; ++i) {
        send(frame_[i]);
    }
    damage_ = whole();
    shownValid_ = false;
    frameSize_ = 0;
    shownSize_ = 0;
    frame_ = {};
    shown_ = {};
}

void XcbCanvas::send(const Request& request) {
    sendGc(request.gc);
    if (!request.rectangles.empty()) {
        xcb_poly_fill_rectangle(connection_, pixmap_, drawGc_, static_cast<std::uint32_t>(request.rectangles.size()),
                                request.rectangles.data());
    }
    if (!request.points.empty()) {
        xcb_poly_line(connection_, XCB_COORD_MODE_ORIGIN, pixmap_, drawGc_,
                      static_cast<std::uint32_t>(request.points.size()), request.points.data());
    }
    if (!request.segments.empty()) {
        xcb_poly_segment(connection_, pixmap_, drawGc_, static_cast<std::uint32_t>(request.segments.size()),
                         request.segments.data());
    }
}

// Brings the pixmap to the frame drawn since the last fill, sending only what differs
// from the frame it holds.
void XcbCanvas::commit() {
    sendRectangles();
    if (!framing_) {
        return;
    }
    framing_ = false;
    Box dirty;
    if (!shownValid_ || shownBack_ != frameBack_ || shownSize_ != frameSize_) {
        dirty = whole();
    } else {
        for (std::size_t i = 0; i < frameSize_; ++i) {
            if (!frame_[i].same(shown_[i])) {
                dirty.add(frame_[i].bounds);
                dirty.add(shown_[i].bounds);
            }
        }
    }
    if (!dirty.empty() && pixmap_ != 0) {
        const xcb_rectangle_t box{static_cast<std::int16_t>(dirty.left), static_cast<std::int16_t>(dirty.top),
                                  static_cast<std::uint16_t>(dirty.right - dirty.left),
                                  static_cast<std::uint16_t>(dirty.bottom - dirty.top)};
        setCopyForeground(frameBack_);
        xcb_poly_fill_rectangle(connection_, pixmap_, copyGc_, 1, &box);
        setClip(dirty == whole() ? Box{} : dirty);
        for (std::size_t i = 0; i < frameSize_; ++i) {
            if (frame_[i].bounds.meets(dirty)) {
                send(frame_[i]);
            }
        }
        damage_.add(dirty);
    }
    std::swap(frame_, shown_);
    shownSize_ = frameSize_;
    shownBack_ = frameBack_;
    shownValid_ = pixmap_ != 0;
    frameSize_ = 0;
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
        Request& request = next();
        request.rectangles.assign(rectangles_.begin(), rectangles_.end());
        record(request);
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
            Request& request = next();
            request.points.assign(points_.begin() + static_cast<std::ptrdiff_t>(start),
                                  points_.begin() + static_cast<std::ptrdiff_t>(start + count));
            for (xcb_point_t& q : request.points) {
                q = {static_cast<std::int16_t>(q.x + dx), static_cast<std::int16_t>(q.y + dy)};
            }
            record(request);
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
            Request& request = next();
            request.segments.assign(segments_.begin() + static_cast<std::ptrdiff_t>(start),
                                    segments_.begin() + static_cast<std::ptrdiff_t>(start + count));
            for (xcb_segment_t& s : request.segments) {
                s = {static_cast<std::int16_t>(s.x1 + dx), static_cast<std::int16_t>(s.y1 + dy),
                     static_cast<std::int16_t>(s.x2 + dx), static_cast<std::int16_t>(s.y2 + dy)};
            }
            record(request);
        }
    }
}

// A fill covers every pixel: it starts a frame, and what was drawn since the last one
// no longer matters.
void XcbCanvas::fill(std::uint32_t pixel) {
    if (pixmap_ == 0) {
        return;
    }
    rectangles_.clear();
    framing_ = true;
    frameSize_ = 0;
    frameShapes_ = 0;
    frameBack_ = pixel;
}

void XcbCanvas::copyTo(xcb_window_t window, int x, int y) {
    commit();
    if (pixmap_ == 0 || window == 0) {
        return;
    }
    xcb_copy_area(connection_, pixmap_, window, copyGc_, 0, 0, static_cast<std::int16_t>(x),
                  static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width_),
                  static_cast<std::uint16_t>(height_));
    damage_ = {};
    copiedTo_ = window;
}

void XcbCanvas::copyChanged(xcb_window_t window, int x, int y) {
    commit();
    if (window != copiedTo_) {
        copyTo(window, x, y);
        return;
    }
    if (pixmap_ == 0 || window == 0 || damage_.empty()) {
        return;
    }
    xcb_copy_area(connection_, pixmap_, window, copyGc_, static_cast<std::int16_t>(damage_.left),
                  static_cast<std::int16_t>(damage_.top), static_cast<std::int16_t>(x + damage_.left),
                  static_cast<std::int16_t>(y + damage_.top), static_cast<std::uint16_t>(damage_.right - damage_.left),
                  static_cast<std::uint16_t>(damage_.bottom - damage_.top));
    damage_ = {};
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
    commit();
    xcb_flush(connection_);
}

void XcbCanvas::setCopyForeground(std::uint32_t pixel) {
    if (!copyForeground_ || *copyForeground_ != pixel) {
        xcb_change_gc(connection_, copyGc_, XCB_GC_FOREGROUND, &pixel);
        copyForeground_ = pixel;
    }
}

std::vector<std::uint32_t> XcbCanvas::readBack() {
    commit();
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
