#include <QPalette>

#include "SurfaceTestFixture.h"
#include "common/RuntimeError.h"

namespace quorvel::testing {
namespace {

constexpr QRgb red = 0xFF0000;  // 0x000000FF as a colour value

TEST_F(SurfaceTest, DrawingAreaLiesInsideTheBorder) {
    EXPECT_EQ(surface.picture().size(), QSize(166, 196));
    graph.setBorderStyle(0);
    EXPECT_EQ(surface.picture().size(), QSize(170, 200));
    graph.setBorderStyle(1);
    graph.setAppearance(0);
    EXPECT_EQ(surface.drawingArea(), QRect(1, 1, 168, 198));
    EXPECT_THROW(surface.setScaleWidth(0.0F), RuntimeError);
    EXPECT_EQ(surface.scaleWidth(), 10.0F);
}

TEST_F(SurfaceTest, TwoPixelCopyPenLineLandsWhereTheScalePutsIt) {
    // Value 4500 of 9000 is half of 196 rows: centre row 98, and the pen's second pixel above it.
    drawFlat(4500, -1, 0, 0x0000FF);
    for (int x = 0; x < 148; x += 15) {  // the last sample stands at column 149
        EXPECT_EQ(at(x, 96), 0U) << x;
        EXPECT_EQ(at(x, 97), red) << x;
        EXPECT_EQ(at(x, 98), red) << x;
        EXPECT_EQ(at(x, 99), 0U) << x;
    }
    // Sample 5 of 10 is half of 166 columns.
    surface.line({5, 0}, {5, 9000}, 0x00FF00);
    EXPECT_EQ(at(81, 20), 0U);
    EXPECT_EQ(at(82, 20), 0x00FF00U);
    EXPECT_EQ(at(83, 20), 0x00FF00U);
    EXPECT_EQ(at(84, 20), 0U);

    surface.show();
    const QImage shown = surface.grab().toImage();
    EXPECT_EQ(rgb(shown, 2 + 83, 2 + 20), 0x00FF00U);
    EXPECT_EQ(rgb(shown, 2 + 20, 2 + 97), red);
}

TEST_F(SurfaceTest, XorPenDrawnTwiceRestoresTheBackground) {
    graph.setBackColor(0x336699);
    graph.setBarX(true);
    graph.setBarXInterval(std::int16_t{1000});
    graph.Cls();
    const QImage before = surface.picture().copy();
    graph.setDrawMode(7);
    for (int pass = 0; pass < 2; ++pass) {
        drawFlat(3000, 4, 8000, 0x00FFFF);
        surface.line({0, 0}, {10, 9000}, 0xFF00FF);
        if (pass == 0) {
            EXPECT_NE(surface.picture(), before);
        }
    }
    EXPECT_EQ(surface.picture(), before);
}

TEST_F(SurfaceTest, SystemColoursAndMinusOneResolveThroughThePalette) {
    QPalette palette = surface.palette();
    palette.setColor(QPalette::ButtonText, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::Button, QColor(0x65, 0x43, 0x21));
    surface.setPalette(palette);

    drawFlat(4500, -1, 0, -1);
    EXPECT_EQ(at(40, 98), 0x123456U);
    graph.setForeColor(0x00FF00);
    drawFlat(1000, -1, 0, -1);
    EXPECT_EQ(at(40, 174), 0x00FF00U);
    drawFlat(6000, -1, 0, systemColour(15));
    EXPECT_EQ(at(40, 65), 0x654321U);

    graph.setBackColor(systemColour(15));
    graph.Cls();
    EXPECT_EQ(at(100, 100), 0x654321U);
}

TEST_F(SurfaceTest, ValueAboveMaxIsClippedAtTheTopEdge) {
    drawFlat(4500, 5, 50000, 0x0000FF);
    // From sample 4 the line climbs steeply towards x = 5: it leaves through row 0.
    bool reachesTop = false;
    for (int x = 66; x <= 84; ++x) {
        reachesTop = reachesTop || at(x, 0) == red;
    }
    EXPECT_TRUE(reachesTop);
    EXPECT_EQ(at(67, 50), red);
    EXPECT_EQ(at(10, 0), 0U);
}

TEST_F(SurfaceTest, AfterAResizeTheSurfaceShowsTheGridAlone) {
    graph.setBarX(true);
    graph.setBarY(true);
    graph.setBarXInterval("1000");
    graph.setBarXColor(0xFF0000);
    graph.setBarYColor(0xFF0000);
    graph.Cls();
    drawFlat(4500, 3, 7000, 0x0000FF);
    graph.resize(240, 120);

    ASSERT_EQ(surface.picture().size(), QSize(236, 116));
    int gridPixels = 0;
    for (int y = 0; y < surface.picture().height(); ++y) {
        for (int x = 0; x < surface.picture().width(); ++x) {
            const QRgb pixel = at(x, y);
            ASSERT_TRUE(pixel == 0U || pixel == 0x0000FFU) << x << "," << y << " " << pixel;
            gridPixels += pixel == 0x0000FFU ? 1 : 0;
        }
    }
    EXPECT_GT(gridPixels, 236 * 2 * 9);
}

TEST_F(SurfaceTest, InvisibleAndNoOperationPensLeaveThePicture) {
    const QImage before = surface.picture().copy();
    graph.setDrawStyle(5);
    drawFlat(4500, 3, 7000, 0x0000FF);
    graph.setDrawStyle(0);
    graph.setDrawMode(11);
    drawFlat(4500, 3, 7000, 0x0000FF);
    EXPECT_EQ(surface.picture(), before);
}

TEST_F(SurfaceTest, DashedPenLeavesGaps) {
    graph.setDrawWidth(1);
    graph.setDrawStyle(2);  // dots: three on, three off
    surface.line({0, 4500}, {10, 4500}, 0x0000FF);
    EXPECT_EQ(at(0, 98), red);
    EXPECT_EQ(at(2, 98), red);
    EXPECT_EQ(at(3, 98), 0U);
    EXPECT_EQ(at(6, 98), red);
}

}  // namespace
}  // namespace quorvel::testing
