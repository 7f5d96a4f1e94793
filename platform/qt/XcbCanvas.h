#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/qt/LineRaster.h"

namespace quorvel {

// A persistent image kept on the X server as a pixmap and drawn with core requests, so
// that a redraw sends a few requests rather than the pixels. Lines cover the pixels that
// LineRaster gives them, in every raster mode: a segment from its start up to, not
// including, its end, widened to a pen-width square, each pixel combined once.
// Requests are only queued, and consecutive level or upright lines in one pen are
// gathered into one request; flush() sends them all.
//
// A fill starts a frame: what is drawn after it is kept, and sent only when the image is
// copied, flushed or read. A frame that repeats the one before it sends nothing; one
// that differs in some requests fills and redraws only the box those requests cover,
// old and new, clipped to it, and only that box is copied to the window next. Outside
// the box both frames made the same requests in the same order on the same fill, so
// the pixels there are already right. A frame of more shapes than is worth keeping goes
// out as it is drawn.
class XcbCanvas {
public:
    struct Pen {
        std::uint32_t pixel = 0;
        int width = 1;      // in device pixels
        int style = 0;      // 0 solid, 1-4 dashed (only at width 1), 5 invisible, 6 solid
        int drawMode = 13;  // binary raster operation 1 to 16
    };

    // Graphics contexts for images of `depth` bits on the screen of `root`. Raises a
    // RuntimeError (platform unavailable) when the server refuses them.
    XcbCanvas(xcb_connection_t* connection, xcb_window_t root, std::uint8_t depth);
    ~XcbCanvas();
    XcbCanvas(const XcbCanvas&) = delete;
    XcbCanvas& operator=(const XcbCanvas&) = delete;
    XcbCanvas(XcbCanvas&&) = delete;
    XcbCanvas& operator=(XcbCanvas&&) = delete;

    // A new image size; what the image held stays at the top left and new parts show
    // `backPixel`. Raises a RuntimeError when the server refuses the pixmap.
    void resize(int width, int height, std::uint32_t backPixel);
    [[nodiscard]] int width() const noexcept { return width_; }
    [[nodiscard]] int height() const noexcept { return height_; }

    void setPen(const Pen& pen);
    // The segments from `from` through each point in turn, with the current pen.
    void polyline(DevicePoint from, std::span<const DevicePoint> points);
    void fill(std::uint32_t pixel);

    // Copies the image to `window` with its top-left corner at (x, y).
    void copyTo(xcb_window_t window, int x, int y);
    // Copies what changed since the last copy to `window`; all of it for another window.
    void copyChanged(xcb_window_t window, int x, int y);
    // Fills rectangles of `window` (the surface's border) in one colour.
    void fillOn(xcb_window_t window, std::uint32_t pixel, std::span<const xcb_rectangle_t> rectangles);
    void flush();

    // The image's pixel values row by row, read back from the server.
    [[nodiscard]] std::vector<std::uint32_t> readBack();

private:
    struct GcState {
        std::uint32_t function = 3;  // copy
        std::uint32_t foreground = 0;
        std::uint32_t lineStyle = 0;
        int dashes = 0;
        bool operator==(const GcState&) const = default;
    };
    // A part of the image: left and top inside, right and bottom outside.
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        [[nodiscard]] bool empty() const noexcept { return left >= right || top >= bottom; }
        [[nodiscard]] bool meets(const Box& other) const noexcept;
        void add(const Box& other) noexcept;
        bool operator==(const Box&) const = default;
    };
    // One drawing request: its pen, its shapes (of one kind) and the pixels it can reach.
    struct Request {
        GcState gc;
        std::vector<xcb_rectangle_t> rectangles;
        std::vector<xcb_point_t> points;  // one polyline
        std::vector<xcb_segment_t> segments;
        Box bounds;
        [[nodiscard]] bool same(const Request& other) const;
    };

    [[nodiscard]] bool drawsAnything() const;
    [[nodiscard]] Box whole() const noexcept { return {0, 0, width_, height_}; }
    void apply(const GcState& wanted);
    Request& next();
    void record(Request& request);
    void send(const Request& request);
    void sendGc(const GcState& wanted);
    void setClip(const Box& box);
    void commit();
    void spill();
    void sendPolyline(DevicePoint from, std::span<const DevicePoint> points, int copies);
    void sendSegments(DevicePoint from, std::span<const DevicePoint> points, int copies);
    void sendBar(DevicePoint from, DevicePoint to);
    void sendRuns(DevicePoint from, std::span<const DevicePoint> points);
    void collectRuns(DevicePoint a, DevicePoint b);
    void sendRectangles();
    void setCopyForeground(std::uint32_t pixel);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::uint8_t depth_;
    xcb_pixmap_t pixmap_ = 0;
    xcb_gcontext_t drawGc_ = 0;
    xcb_gcontext_t copyGc_ = 0;
    int width_ = 0;
    int height_ = 0;
    Pen pen_;
    GcState gc_;        // the current pen's
    GcState serverGc_;  // what the draw context holds on the server
    bool serverGcKnown_ = false;
    int serverDashes_ = 0;  // the dash list last sent
    Box clip_;              // the draw context's clip; the whole image when empty
    bool clipKnown_ = false;
    std::vector<xcb_point_t> points_;
    std::vector<xcb_segment_t> segments_;
    // Wide pens: each segment is rasterised into a scratch mask as the image surface
    // would draw it, and its pixels go to the server as row runs.
    std::vector<std::uint32_t> mask_;
    LineRaster maskRaster_;
    std::vector<xcb_rectangle_t> rectangles_;  // not sent yet, in the current pen
    std::optional<std::uint32_t> copyForeground_;
    // The frame being drawn since the last fill, and the one the pixmap holds; their
    // requests are reused from frame to frame.
    bool framing_ = false;
    std::uint32_t frameBack_ = 0;
    std::vector<Request> frame_;
    std::size_t frameSize_ = 0;
    std::size_t frameShapes_ = 0;
    bool shownValid_ = false;
    std::uint32_t shownBack_ = 0;
    std::vector<Request> shown_;
    std::size_t shownSize_ = 0;
    Request direct_;  // a request drawn outside a frame
    Box damage_;      // changed since the last copy to `copiedTo_`
    xcb_window_t copiedTo_ = 0;
};

}  // namespace quorvel
