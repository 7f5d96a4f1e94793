#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/qt/RasterOp.h"

namespace quorvel {

struct DevicePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

// Maps a logical coordinate to pixels: pixel centres stand at whole multiples of a
// pixel's logical size. Far-off points are pulled in to a range that keeps the direction
// of every visible line.
struct AxisMapping {
    static constexpr std::int32_t limit = 1 << 24;
    double pixelsPerUnit = 1.0;

    std::int32_t operator()(float logical) const {
        constexpr double bound = limit;
        double device = static_cast<double>(logical) * pixelsPerUnit + 0.5;
        device = device > -bound ? device : -bound;
        device = device < bound ? device : bound;
        // Truncating a value made non-negative floors it in one conversion.
        return static_cast<std::int32_t>(static_cast<std::int64_t>(device + bound) - std::int64_t{limit});
    }
};

// Draws pen lines into a buffer of 32-bit pixels, clipped to it. A segment covers the
// pixels of its centre line from its start up to, not including, its end (so a chain of
// segments meets without drawing a join twice), each widened to a pen-width square.
// Every pixel of one segment is combined with the pen exactly once. The buffer may have
// a finer resolution than the platform's pixels: the pen's width and dash lengths are
// given in platform pixels and drawn `scale` times as long, in buffer pixels.
class LineRaster {
public:
    struct Pen {
        std::uint32_t pixel = 0xFF000000U;
        int width = 1;  // in platform pixels
        int style = 0;  // 0 solid, 1-4 dashed (only at width 1), 5 invisible, 6 solid
        int drawMode = 13;
        DeviceScale scale;
    };

    void attach(std::uint32_t* bits, std::ptrdiff_t stride, int width, int height);
    void setPen(const Pen& pen);

    void segment(DevicePoint from, DevicePoint to);
    // The segments from `from` through each point in turn. In copy-pen mode with a solid
    // pen and x never turning back, the segments are merged per pixel column first, which
    // gives the same pixels at a cost that follows the columns rather than the points.
    void polyline(DevicePoint from, std::span<const DevicePoint> points);
    // The polyline through the samples (firstX + i, ys[i]), mapped to pixels.
    void series(DevicePoint from, float firstX, std::span<const float> ys, AxisMapping mapX, AxisMapping mapY);

private:
    struct Run {
        std::int64_t low;
        std::int64_t high;
    };

    [[nodiscard]] bool drawsAnything() const;
    [[nodiscard]] bool dashed() const;
    void dashedSegment(DevicePoint from, DevicePoint to);
    void fillRow(std::int64_t row, std::int64_t x0, std::int64_t x1);
    void fillColumn(std::int64_t column, std::int64_t y0, std::int64_t y1);
    [[nodiscard]] bool merges() const;
    template <class Points>
    void mergedPolyline(DevicePoint from, std::size_t count, const Points& points);
    void flushColumns();

    std::uint32_t* bits_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    Pen pen_;
    int penWidth_ = 1;         // in buffer pixels
    std::vector<int> dashes_;  // on and off lengths in buffer pixels
    RasterOpRun run_ = rasterOpRun(13);

    std::vector<Run> runs_;
    std::vector<DevicePoint> points_;
    std::vector<std::int64_t> columnTop_;
    std::vector<std::int64_t> columnBottom_;
    std::vector<std::int64_t> windowTop_;
    std::vector<std::int64_t> windowBottom_;
};

}  // namespace quorvel
