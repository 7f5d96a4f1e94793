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
    };

    [[nodiscard]] bool drawsAnything() const;
    void apply(const GcState& wanted);
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
    GcState gc_;
    bool gcKnown_ = false;
    std::vector<xcb_point_t> points_;
    std::vector<xcb_segment_t> segments_;
    std::vector<xcb_point_t> copyPoints_;
    std::vector<xcb_segment_t> copySegments_;
    // Wide pens: each segment is rasterised into a scratch mask as the image surface
    // would draw it, and its pixels go to the server as row runs.
    std::vector<std::uint32_t> mask_;
    LineRaster maskRaster_;
    std::vector<xcb_rectangle_t> rectangles_;  // not sent yet, in the draw context's pen
    std::optional<std::uint32_t> copyForeground_;
};

}  // namespace quorvel
