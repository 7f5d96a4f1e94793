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

std::vector<float> jagged(int count, float max, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.1F * max, 1.1F * max);
    std::vector<float> ys;
    ys.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        // Runs of equal values besides plain noise, beyond both edges now and then.
        ys.push_back((i / 7) % 3 == 0 ? max / 2 : max - value(random));
    }
    return ys;
}

// The same series on two surfaces: one segment per call, and all in one.
std::pair<QImage, QImage> bothWays(const std::vector<float>& ys, float across, float max, int width, int mode) {
    QtDrawingSurface segmentwise;
    QtDrawingSurface merged;
    for (QtDrawingSurface* s : {&segmentwise, &merged}) {
        s->place(0, 0, 170, 200);
        s->setScaleWidth(across);
        s->setScaleHeight(max);
        s->setBackColor(0x203040);
        s->clear();
        s->setDrawWidth(static_cast<std::int16_t>(width));
        s->setDrawMode(static_cast<std::int16_t>(mode));
        s->setPenPosition({0, ys.front()});
    }
    for (std::size_t i = 0; i < ys.size(); ++i) {
        segmentwise.lineTo({static_cast<float>(i), ys[i]}, 0x00C0FF);
    }
    merged.seriesTo(0, ys, 0x00C0FF);
    return {segmentwise.picture(), merged.picture()};
}

TEST(PolylineRaster, PolylineGivesTheSamePixelsAsItsSegments) {
    qtTestApp();
    for (const int count : {10, 166, 1000, 32767}) {
        for (const int width : {1, 2, 3, 20}) {
            const auto ys = jagged(count, 9000, static_cast<unsigned>(count * 31 + width));
            for (const int mode : {13, 7, 6}) {
                const auto [segmentwise, merged] = bothWays(ys, static_cast<float>(count), 9000, width, mode);
                EXPECT_EQ(segmentwise, merged) << count << " samples, width " << width << ", mode " << mode;
            }
        }
    }
}

TEST(PolylineRaster, SeriesEndingOnANewExtremeOfItsColumnLeavesThatPixel) {
    qtTestApp();
    // All in column 0; the end pixel of the last segment is not drawn.
    for (const int width : {1, 2}) {
        const auto [segmentwise, merged] = bothWays({50, 60, 40, 90}, 1000, 100, width, 13);
        EXPECT_EQ(segmentwise, merged);
        EXPECT_EQ(merged.pixel(0, 176) & 0xFFFFFFU, 0x403020U);
    }
}

TEST(PolylineRaster, XorPolylineCombinesEverySegment) {
    qtTestApp();
    // Three points in one pixel column: a segment up and one back down over the same
    // pixels, which an exclusive-or pen must draw twice.
    const auto [segmentwise, merged] = bothWays({50, 10, 50}, 1000, 100, 1, 7);
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
