#include "platform/qt/LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/DashPattern.h"

namespace quorvel {
namespace {

using I64 = std::int64_t;

// A segment in terms of its major axis (the longer one, x on a tie): pixel k of n lies
// at major0 + majorSign*k, and at minor0 + minorSign*round(k*m/n) across, halves up.
struct Geometry {
    bool xMajor;
    I64 major0;
    I64 minor0;
    I64 majorSign;
    I64 minorSign;
    I64 n;
    I64 m;
};

I64 signOf(I64 v) {
    return (v > 0) - (v < 0);
}

Geometry geometryOf(DevicePoint a, DevicePoint b) {
    const I64 dx = I64{b.x} - a.x;
    const I64 dy = I64{b.y} - a.y;
    if (std::llabs(dx) >= std::llabs(dy)) {
        return {true, a.x, a.y, signOf(dx), signOf(dy), std::llabs(dx), std::llabs(dy)};
    }
    return {false, a.y, a.x, signOf(dy), signOf(dx), std::llabs(dy), std::llabs(dx)};
}

I64 offsetAt(const Geometry& g, I64 k) {
    return g.m == 0 || g.n == 0 ? 0 : (2 * k * g.m + g.n) / (2 * g.n);
}

// The first pixel whose offset across reaches j.
I64 firstWithOffset(const Geometry& g, I64 j) {
    if (j <= 0) {
        return 0;
    }
    const I64 numerator = (2 * j - 1) * g.n;
    const I64 denominator = 2 * g.m;
    return (numerator + denominator - 1) / denominator;
}

// Visits the pixels whose major coordinate lies in [low, high]: fn(k, major, minor).
template <class Fn>
void byMajor(const Geometry& g, I64 low, I64 high, Fn fn) {
    I64 k0 = g.majorSign > 0 ? low - g.major0 : g.major0 - high;
    I64 k1 = g.majorSign > 0 ? high - g.major0 : g.major0 - low;
    k0 = std::max<I64>(k0, 0);
    k1 = std::min(k1, g.n - 1);
    for (I64 k = k0; k <= k1; ++k) {
        fn(k, g.major0 + g.majorSign * k, g.minor0 + g.minorSign * offsetAt(g, k));
    }
}

// Visits the runs of pixels that share a minor coordinate in [low, high]:
// fn(minor, majorLow, majorHigh).
template <class Fn>
void byMinor(const Geometry& g, I64 low, I64 high, Fn fn) {
    const I64 last = offsetAt(g, g.n - 1);
    I64 j0 = g.minorSign >= 0 ? low - g.minor0 : g.minor0 - high;
    I64 j1 = g.minorSign >= 0 ? high - g.minor0 : g.minor0 - low;
    j0 = std::max<I64>(j0, 0);
    j1 = std::min(j1, last);
    for (I64 j = j0; j <= j1; ++j) {
        const I64 kStart = firstWithOffset(g, j);
        const I64 kEnd = (j == last ? g.n : firstWithOffset(g, j + 1)) - 1;
        const I64 a = g.major0 + g.majorSign * kStart;
        const I64 b = g.major0 + g.majorSign * kEnd;
        fn(g.minor0 + g.minorSign * j, std::min(a, b), std::max(a, b));
    }
}

bool dashOn(std::span<const int> pattern, I64 k) {
    I64 period = 0;
    for (const int length : pattern) {
        period += length;
    }
    if (period == 0) {
        return true;
    }
    I64 position = k % period;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (position < pattern[i]) {
            return i % 2 == 0;
        }
        position -= pattern[i];
    }
    return false;
}

bool xNeverTurnsBack(DevicePoint from, std::span<const DevicePoint> points) {
    I64 direction = 0;
    I64 previous = from.x;
    for (const DevicePoint& p : points) {
        const I64 step = signOf(I64{p.x} - previous);
        if (step != 0) {
            if (direction != 0 && step != direction) {
                return false;
            }
            direction = step;
        }
        previous = p.x;
    }
    return true;
}

// Minimum or maximum of every window of `width` consecutive values.
template <class Pick>
void slidingExtreme(const std::vector<I64>& values, I64 width, std::vector<I64>& out, Pick pick) {
    const I64 windows = static_cast<I64>(values.size()) - width + 1;
    out.resize(static_cast<std::size_t>(std::max<I64>(windows, 0)));
    if (width <= 8) {
        for (I64 x = 0; x < windows; ++x) {
            I64 best = values[static_cast<std::size_t>(x)];
            for (I64 i = 1; i < width; ++i) {
                best = pick(best, values[static_cast<std::size_t>(x + i)]);
            }
            out[static_cast<std::size_t>(x)] = best;
        }
        return;
    }
    // Block prefixes and suffixes: each window spans the end of one block and the start
    // of the next.
    const auto count = static_cast<I64>(values.size());
    std::vector<I64> prefix(values.size());
    std::vector<I64> suffix(values.size());
    for (I64 i = 0; i < count; ++i) {
        const auto u = static_cast<std::size_t>(i);
        prefix[u] = i % width == 0 ? values[u] : pick(prefix[u - 1], values[u]);
    }
    for (I64 i = count - 1; i >= 0; --i) {
        const auto u = static_cast<std::size_t>(i);
        suffix[u] = (i % width == width - 1 || i == count - 1) ? values[u] : pick(suffix[u + 1], values[u]);
    }
    for (I64 x = 0; x < windows; ++x) {
        out[static_cast<std::size_t>(x)] =
            pick(suffix[static_cast<std::size_t>(x)], prefix[static_cast<std::size_t>(x + width - 1)]);
    }
}

}  // namespace

void LineRaster::attach(std::uint32_t* bits, std::ptrdiff_t stride, int width, int height) {
    bits_ = bits;
    stride_ = stride;
    width_ = width;
    height_ = height;
}

void LineRaster::setPen(const Pen& pen) {
    pen_ = pen;
    pen_.width = std::max(pen.width, 1);
    penWidth_ = pen_.scale.pixels(pen_.width);
    dashes_.clear();
    if (dashed()) {
        // A wider pen's square stretches each dash by its width less one: the dashes are
        // shortened and the gaps lengthened by as much, so both keep their scaled length.
        const int stretch = penWidth_ - 1;
        for (const int length : DashPattern(pen_.style)) {
            const int scaled = pen_.scale.pixels(length);
            dashes_.push_back(dashes_.size() % 2 == 0 ? std::max(scaled - stretch, 1) : scaled + stretch);
        }
    }
    run_ = rasterOpRun(pen.drawMode);
}

bool LineRaster::drawsAnything() const {
    return bits_ != nullptr && width_ > 0 && height_ > 0 && pen_.style != 5 && pen_.drawMode != 11;
}

// Dashes only exist for pens one platform pixel wide; wider pens draw them solid.
bool LineRaster::dashed() const {
    return pen_.style >= 1 && pen_.style <= 4 && pen_.width == 1;
}

void LineRaster::fillRow(I64 row, I64 x0, I64 x1) {
    x0 = std::max<I64>(x0, 0);
    x1 = std::min<I64>(x1, width_ - 1);
    if (row < 0 || row >= height_ || x0 > x1) {
        return;
    }
    run_(bits_ + row * stride_ + x0, x1 - x0 + 1, 1, pen_.pixel);
}

void LineRaster::fillColumn(I64 column, I64 y0, I64 y1) {
    y0 = std::max<I64>(y0, 0);
    y1 = std::min<I64>(y1, height_ - 1);
    if (column < 0 || column >= width_ || y0 > y1) {
        return;
    }
    run_(bits_ + y0 * stride_ + column, y1 - y0 + 1, stride_, pen_.pixel);
}

void LineRaster::segment(DevicePoint from, DevicePoint to) {
    if (!drawsAnything() || from == to) {
        return;
    }
    if (dashed()) {
        dashedSegment(from, to);
        return;
    }
    const I64 w = penWidth_;
    const I64 o = w / 2;
    if (from.x == to.x) {
        // A vertical line is a rectangle: fill it a column at a time.
        const I64 end = I64{to.y} - signOf(I64{to.y} - from.y);
        const I64 top = std::min<I64>(from.y, end) - o;
        const I64 bottom = std::max<I64>(from.y, end) - o + w - 1;
        for (I64 column = from.x - o; column < from.x - o + w; ++column) {
            fillColumn(column, top, bottom);
        }
        return;
    }
    const Geometry g = geometryOf(from, to);
    // Centre rows whose pen square can reach a row of the buffer.
    const I64 rowLow = o - w + 1;
    const I64 rowHigh = height_ - 1 + o;
    runs_.resize(static_cast<std::size_t>(rowHigh - rowLow + 1));
    I64 first = std::numeric_limits<I64>::max();
    I64 last = std::numeric_limits<I64>::min();
    auto keep = [&](I64 row, I64 x0, I64 x1) {
        runs_[static_cast<std::size_t>(row - rowLow)] = {x0, x1};
        first = std::min(first, row);
        last = std::max(last, row);
    };
    if (g.xMajor) {
        byMinor(g, rowLow, rowHigh, keep);
    } else {
        byMajor(g, rowLow, rowHigh, [&](I64, I64 row, I64 x) { keep(row, x, x); });
    }
    if (first > last) {
        return;
    }
    // Row R is covered by the squares of centre rows R+o-w+1 .. R+o. Along a line the
    // runs move one way only, so their union is spanned by the window's two end runs.
    const I64 r0 = std::max<I64>(0, first - o);
    const I64 r1 = std::min<I64>(height_ - 1, last - o + w - 1);
    for (I64 row = r0; row <= r1; ++row) {
        const Run& a = runs_[static_cast<std::size_t>(std::max(first, row + o - w + 1) - rowLow)];
        const Run& b = runs_[static_cast<std::size_t>(std::min(last, row + o) - rowLow)];
        fillRow(row, std::min(a.low, b.low) - o, std::max(a.high, b.high) - o + w - 1);
    }
}

// The centre pixels whose dash is on, each widened to a pen-width square. Across one
// line of the major axis, the squares that reach it come from at most `w` consecutive
// centre pixels, whose offsets across differ by less than `w`: their union is one run,
// from the least to the greatest offset of the pixels that are on.
void LineRaster::dashedSegment(DevicePoint from, DevicePoint to) {
    const Geometry g = geometryOf(from, to);
    const I64 w = penWidth_;
    const I64 o = w / 2;
    // Centre pixel k lights the major lines major(k) - o .. major(k) - o + w - 1.
    const I64 majorEnd = g.major0 + g.majorSign * (g.n - 1);
    const I64 first = std::max<I64>(std::min(g.major0, majorEnd) - o, 0);
    const I64 last = std::min<I64>(std::max(g.major0, majorEnd) - o + w - 1, (g.xMajor ? width_ : height_) - 1);
    for (I64 line = first; line <= last; ++line) {
        I64 low = std::numeric_limits<I64>::max();
        I64 high = std::numeric_limits<I64>::min();
        byMajor(g, line + o - w + 1, line + o, [&](I64 k, I64, I64 minor) {
            if (dashOn(dashes_, k)) {
                low = std::min(low, minor);
                high = std::max(high, minor);
            }
        });
        if (low > high) {
            continue;
        }
        if (g.xMajor) {
            fillColumn(line, low - o, high - o + w - 1);
        } else {
            fillRow(line, low - o, high - o + w - 1);
        }
    }
}

bool LineRaster::merges() const {
    return pen_.drawMode == 13 && !dashed();
}

namespace {

// Device points as the merged walk reads them.
struct PointList {
    std::span<const DevicePoint> points;

    [[nodiscard]] std::int32_t column(std::size_t i) const { return points[i].x; }
    [[nodiscard]] std::int32_t row(std::size_t i) const { return points[i].y; }
    [[nodiscard]] std::size_t groupEnd(std::size_t i, std::int32_t column) const {
        while (i < points.size() && points[i].x == column) {
            ++i;
        }
        return i;
    }
    // Highest and lowest row of the points i to end - 1.
    void rowRange(std::size_t i, std::size_t end, std::int32_t& top, std::int32_t& bottom) const {
        for (; i < end; ++i) {
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
    }
};

// Samples one logical unit apart, mapped to pixels as the walk reads them.
struct SampleList {
    float firstX;
    std::span<const float> ys;
    AxisMapping mapX;
    AxisMapping mapY;

    [[nodiscard]] std::int32_t column(std::size_t i) const { return mapX(firstX + static_cast<float>(i)); }
    [[nodiscard]] std::int32_t row(std::size_t i) const { return mapY(ys[i]); }
    // The sample where the next column starts follows from the scale; the estimate is
    // then settled against the exact mapping.
    [[nodiscard]] std::size_t groupEnd(std::size_t i, std::int32_t column) const {
        const std::size_t count = ys.size();
        const double edge = (column + (mapX.pixelsPerUnit >= 0 ? 0.5 : -0.5)) / mapX.pixelsPerUnit - firstX;
        std::size_t end = count;
        if (edge < static_cast<double>(count)) {
            end = std::max(i + 1, static_cast<std::size_t>(std::max(std::ceil(edge), 0.0)));
        }
        while (end > i + 1 && this->column(end - 1) != column) {
            --end;
        }
        while (end < count && this->column(end) == column) {
            ++end;
        }
        return end;
    }
    // The mapping keeps order (or reverses it), so only the extreme heights are mapped.
    void rowRange(std::size_t i, std::size_t end, std::int32_t& top, std::int32_t& bottom) const {
        float low = ys[i];
        float high = ys[i];
        bool unordered = false;
        for (std::size_t j = i; j < end; ++j) {
            const float v = ys[j];
            low = v < low ? v : low;
            high = v > high ? v : high;
            unordered = unordered || std::isnan(v);
        }
        if (unordered) {
            for (std::size_t j = i; j < end; ++j) {
                top = std::min(top, row(j));
                bottom = std::max(bottom, row(j));
            }
            return;
        }
        const std::int32_t a = mapY(low);
        const std::int32_t b = mapY(high);
        top = std::min({top, a, b});
        bottom = std::max({bottom, a, b});
    }
};

}  // namespace

void LineRaster::polyline(DevicePoint from, std::span<const DevicePoint> points) {
    if (!drawsAnything()) {
        return;
    }
    if (merges() && xNeverTurnsBack(from, points)) {
        mergedPolyline(from, points.size(), PointList{points});
        return;
    }
    DevicePoint previous = from;
    for (const DevicePoint& p : points) {
        segment(previous, p);
        previous = p;
    }
}

void LineRaster::series(DevicePoint from, float firstX, std::span<const float> ys, AxisMapping mapX, AxisMapping mapY) {
    if (!drawsAnything() || ys.empty()) {
        return;
    }
    const SampleList samples{firstX, ys, mapX, mapY};
    // Samples step the same way across; only the pen may stand on the wrong side.
    const std::int32_t first = samples.column(0);
    if (merges() && (mapX.pixelsPerUnit >= 0 ? first >= from.x : first <= from.x)) {
        mergedPolyline(from, ys.size(), samples);
        return;
    }
    points_.resize(ys.size());
    for (std::size_t i = 0; i < ys.size(); ++i) {
        points_[i] = {samples.column(i), samples.row(i)};
    }
    polyline(from, points_);
}

// With x never turning back, the centre pixels of the whole polyline in one column are
// consecutive, so a column holds one interval: merging is exact for a copied pen.
template <class Points>
void LineRaster::mergedPolyline(DevicePoint from, std::size_t count, const Points& points) {
    const I64 w = penWidth_;
    const I64 o = w / 2;
    const I64 columnLow = o - w + 1;
    const I64 columnHigh = width_ - 1 + o;
    const auto columns = static_cast<std::size_t>(columnHigh - columnLow + 1);
    columnTop_.assign(columns, std::numeric_limits<I64>::max());
    columnBottom_.assign(columns, std::numeric_limits<I64>::min());
    // Rows beyond the reach of the buffer are pulled in to just outside it, which keeps
    // the intervals whole.
    const I64 rowFloor = o - w;
    const I64 rowCeiling = height_ + o;
    auto keep = [&](I64 column, I64 y0, I64 y1) {
        if (column < columnLow || column > columnHigh) {
            return;
        }
        const auto i = static_cast<std::size_t>(column - columnLow);
        columnTop_[i] = std::min(columnTop_[i], std::clamp(y0, rowFloor, rowCeiling));
        columnBottom_[i] = std::max(columnBottom_[i], std::clamp(y1, rowFloor, rowCeiling));
    };

    DevicePoint previous = from;
    std::size_t i = 0;
    while (i < count) {
        const std::int32_t column = points.column(i);
        if (column != previous.x) {
            const DevicePoint next{column, points.row(i)};
            const Geometry g = geometryOf(previous, next);
            if (g.xMajor) {
                byMajor(g, columnLow, columnHigh, [&](I64, I64 c, I64 row) { keep(c, row, row); });
            } else {
                byMinor(g, columnLow, columnHigh, keep);
            }
            previous = next;
            ++i;
            continue;
        }
        const std::size_t end = points.groupEnd(i, column);
        std::int32_t top = std::numeric_limits<std::int32_t>::max();
        std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
        std::int32_t y = previous.y;
        if (end < count) {
            // A segment leaves the column from the group's last point, so the points
            // cover every row between their highest and lowest.
            top = y;
            bottom = y;
            points.rowRange(i, end, top, bottom);
            y = points.row(end - 1);
        } else {
            // The polyline ends here, without its own last pixel: walk the segments.
            for (std::size_t j = i; j < end; ++j) {
                const std::int32_t to = points.row(j);
                if (to != y) {
                    const std::int32_t stop = to > y ? to - 1 : to + 1;
                    top = std::min({top, y, stop});
                    bottom = std::max({bottom, y, stop});
                }
                y = to;
            }
        }
        if (top <= bottom) {
            keep(column, top, bottom);
        }
        previous.y = y;
        i = end;
    }
    flushColumns();
}

void LineRaster::flushColumns() {
    const I64 w = penWidth_;
    const I64 o = w / 2;
    slidingExtreme(columnTop_, w, windowTop_, [](I64 a, I64 b) { return std::min(a, b); });
    slidingExtreme(columnBottom_, w, windowBottom_, [](I64 a, I64 b) { return std::max(a, b); });
    for (I64 x = 0; x < width_; ++x) {
        const I64 top = windowTop_[static_cast<std::size_t>(x)];
        const I64 bottom = windowBottom_[static_cast<std::size_t>(x)];
        if (top <= bottom) {
            fillColumn(x, top - o, bottom - o + w - 1);
        }
    }
}

}  // namespace quorvel
