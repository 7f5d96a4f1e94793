#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <random>
#include <vector>

#include "platform/qt/LineRaster.h"
#include "platform/qt/QtDrawingSurface.h"
#include "platform/qt/RasterOp.h"
#include "support/QtTestApp.h"

namespace quorvel::testing {
namespace {

std::vector<LogicalPoint> jagged(int count, float max, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.1F * max, 1.1F * max);
    std::vector<LogicalPoint> points;
    for (int i = 0; i < count; ++i) {
        // Runs of equal values and single spikes besides plain noise.
        const float v = (i / 7) % 3 == 0 ? max / 2 : value(random);
        points.push_back({static_cast<float>(i), max - v});
    }
    return points;
}

// The same series on two surfaces: one segment per call, and one polyline.
std::pair<QImage, QImage> bothWays(const std::vector<LogicalPoint>& points, float max, int width, int mode) {
    QtDrawingSurface segmentwise;
    QtDrawingSurface merged;
    for (QtDrawingSurface* s : {&segmentwise, &merged}) {
        s->place(0, 0, 170, 200);
        s->setScaleWidth(static_cast<float>(points.size()));
        s->setScaleHeight(max);
        s->setBackColor(0x203040);
        s->clear();
        s->setDrawWidth(static_cast<std::int16_t>(width));
        s->setDrawMode(static_cast<std::int16_t>(mode));
        s->setPenPosition(points.front());
    }
    for (const LogicalPoint& p : points) {
        segmentwise.lineTo(p, 0x00C0FF);
    }
    merged.polylineTo(points, 0x00C0FF);
    return {segmentwise.picture(), merged.picture()};
}

TEST(PolylineRaster, PolylineGivesTheSamePixelsAsItsSegments) {
    qtTestApp();
    for (const int count : {10, 166, 1000, 32767}) {
        for (const int width : {1, 2, 3, 20}) {
            const auto points = jagged(count, 9000, static_cast<unsigned>(count * 31 + width));
            for (const int mode : {13, 7, 6}) {
                const auto [segmentwise, merged] = bothWays(points, 9000, width, mode);
                EXPECT_EQ(segmentwise, merged) << count << " samples, width " << width << ", mode " << mode;
            }
        }
    }
}

TEST(PolylineRaster, XorPolylineCombinesEverySegment) {
    qtTestApp();
    // Three points in one pixel column: a segment up and one back down over the same
    // pixels, which an exclusive-or pen must draw twice.
    const std::vector<LogicalPoint> points{{0, 50}, {0.001F, 10}, {0.002F, 50}};
    const auto [segmentwise, merged] = bothWays(points, 100, 1, 7);
    EXPECT_EQ(segmentwise, merged);
    EXPECT_EQ(merged.pixel(0, 30) & 0xFFFFFFU, 0x403020U);
}

TEST(RasterOp, EachOperationMatchesQtsCompositionMode) {
    qtTestApp();
    QImage destination(64, 4, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 4; ++y) {
            destination.setPixel(x, y, qRgb(x * 4, 255 - x * 3, (x * 37 + y * 91) & 0xFF));
        }
    }
    const std::uint32_t pen = 0xFF5A3CC3U;
    for (int mode = 1; mode <= 16; ++mode) {
        QImage ours = destination.copy();
        for (int y = 0; y < 4; ++y) {
            rasterOpRun(mode)(reinterpret_cast<std::uint32_t*>(ours.scanLine(y)), 64, 1, pen);
        }
        QImage qts = destination.copy();
        {
            QPainter painter(&qts);
            painter.setCompositionMode(rasterOpCompositionMode(mode));
            painter.fillRect(qts.rect(), QColor::fromRgb(pen));
        }
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(ours.pixel(x, 2) & 0xFFFFFFU, qts.pixel(x, 2) & 0xFFFFFFU) << "mode " << mode << " at " << x;
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
