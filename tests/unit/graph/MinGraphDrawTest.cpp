#include <cstdint>
#include <vector>

#include "GraphTestFixture.h"

namespace quorvel::testing {
namespace {

using Kind = RecordingSurface::OpKind;

class GraphDrawing : public GraphTest {
protected:
    void SetUp() override {
        graph.resize(170, 200);
        surface.ops.clear();
    }

    // Positions of the recorded bars: y of the horizontal ones, x of the vertical ones.
    std::vector<float> horizontalBars() const {
        std::vector<float> ys;
        for (const auto& op : surface.opsOf(Kind::Line)) {
            if (op.from.y == op.to.y) {
                EXPECT_EQ(op.from.x, 0.0F);
                EXPECT_EQ(op.to.x, surface.scaleWidth());
                EXPECT_EQ(op.colour, graph.BarXColor());
                ys.push_back(op.from.y);
            }
        }
        return ys;
    }
    std::vector<float> verticalBars() const {
        std::vector<float> xs;
        for (const auto& op : surface.opsOf(Kind::Line)) {
            if (op.from.x == op.to.x) {
                EXPECT_EQ(op.from.y, 0.0F);
                EXPECT_EQ(op.to.y, surface.scaleHeight());
                EXPECT_EQ(op.colour, graph.BarYColor());
                xs.push_back(op.from.x);
            }
        }
        return xs;
    }
    std::vector<LogicalPoint> polyline() const {
        std::vector<LogicalPoint> points;
        for (const auto& op : surface.opsOf(Kind::LineTo)) {
            points.push_back(op.to);
        }
        return points;
    }
    void horizontalGrid(double max, const TaggedValue& interval) {
        graph.setMax(max);
        graph.setBarX(true);
        graph.setBarXInterval(interval);
        graph.Cls();
    }
    void verticalGrid(std::int32_t bunkaino, const TaggedValue& interval) {
        graph.setBunkaino(bunkaino);
        graph.setBarY(true);
        graph.setBarYInterval(interval);
        graph.Cls();
    }
};

TEST_F(GraphDrawing, HorizontalBarsRiseFromTheBottomEdgeByTheInterval) {
    const std::vector<float> expected{9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000, 0};
    graph.setBarXColor(0xFF0000);
    horizontalGrid(9000, std::int16_t{1000});
    EXPECT_EQ(surface.ops.front().kind, Kind::Clear);
    EXPECT_EQ(horizontalBars(), expected);

    horizontalGrid(9000, "1000");
    EXPECT_EQ(horizontalBars(), expected);

    horizontalGrid(9000.5, std::int16_t{1000});
    EXPECT_EQ(horizontalBars().front(), 9000.0F);
    horizontalGrid(9001.5, std::int16_t{1000});
    EXPECT_EQ(horizontalBars().front(), 9002.0F);
    EXPECT_EQ(horizontalBars().back(), 2.0F);
}

TEST_F(GraphDrawing, VerticalBarsRunFromTheRightEdgeLeftwards) {
    verticalGrid(60, std::int16_t{10});
    EXPECT_EQ(verticalBars(), (std::vector<float>{60, 50, 40, 30, 20, 10, 0}));
    verticalGrid(60, std::int16_t{15});
    EXPECT_EQ(verticalBars(), (std::vector<float>{60, 45, 30, 15, 0}));
    verticalGrid(50, 15.0);
    EXPECT_EQ(verticalBars(), (std::vector<float>{50, 35, 20, 5}));
}

TEST_F(GraphDrawing, VerticalBarsLieOverHorizontalOnes) {
    graph.setMax(100);
    graph.setBarX(true);
    verticalGrid(20, std::int16_t{10});
    ASSERT_EQ(surface.opsOf(Kind::Line).size(), 11U + 3U);
    EXPECT_EQ(surface.ops.back().from.x, 0.0F);
    EXPECT_EQ(surface.ops.back().to.y, 100.0F);
}

TEST_F(GraphDrawing, IntervalsThatDoNotAdvanceStillEndTheGrid) {
    horizontalGrid(9000, std::int16_t{0});
    EXPECT_TRUE(horizontalBars().empty());
    horizontalGrid(9000, std::int16_t{-1000});
    EXPECT_TRUE(horizontalBars().empty());
    // A start at or below 0 with an interval that rounds to 0 draws the one bar there.
    horizontalGrid(-5, "0.4");
    EXPECT_EQ(horizontalBars(), std::vector<float>{-5});
    verticalGrid(-3, std::int16_t{0});
    EXPECT_EQ(verticalBars(), std::vector<float>{-3});
    // A negative interval from a start below 0 steps up to 0.
    horizontalGrid(-25, std::int16_t{-10});
    EXPECT_EQ(horizontalBars(), (std::vector<float>{-25, -15, -5}));
}

TEST_F(GraphDrawing, GridFailuresKeepTheBarsDrawnBefore) {
    graph.setBarY(true);
    graph.setBarYInterval("abc");
    EXPECT_EQ(errorOf([&] { horizontalGrid(30, std::int16_t{10}); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(horizontalBars(), (std::vector<float>{30, 20, 10, 0}));

    surface.ops.clear();
    graph.setBarY(false);
    EXPECT_EQ(errorOf([&] { horizontalGrid(3e9, std::int16_t{10}); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([&] { horizontalGrid(100, 3e9); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([&] { horizontalGrid(100, "ten"); }), ErrorKind::TypeMismatch);
    EXPECT_TRUE(horizontalBars().empty());
}

TEST_F(GraphDrawing, ChangingTheGridSettingsDrawsNothingUntilTheNextClear) {
    graph.setBarX(true);
    graph.setBarY(true);
    graph.setBarXInterval(std::int16_t{5});
    graph.setBarXColor(255);
    graph.setBarYColor(255);
    EXPECT_TRUE(surface.ops.empty());
    graph.DrawBar();
    EXPECT_FALSE(surface.ops.empty());
    EXPECT_TRUE(surface.opsOf(Kind::Clear).empty());
}

TEST_F(GraphDrawing, SeriesIsOnePolylineFromItsFirstPoint) {
    graph.setMax(9000);
    graph.setBunkaino(5);
    TaggedValue data = TaggedValue::makeArray(5);
    data.at(0) = 0.0;
    data.at(1) = std::int32_t{9000};
    data.at(3) = "4500";
    data.at(4) = 12000.0;  // above Max: beyond the top edge
    graph.DrawGraph(data, 128);

    ASSERT_EQ(surface.ops.size(), 6U);
    EXPECT_EQ(surface.ops[0].kind, Kind::Pen);
    EXPECT_EQ(surface.ops[0].to, (LogicalPoint{0, 9000}));
    EXPECT_EQ(polyline(), (std::vector<LogicalPoint>{{0, 9000}, {1, 0}, {2, 9000}, {3, 4500}, {4, -3000}}));
    EXPECT_EQ(surface.ops[1].from, (LogicalPoint{0, 9000}));
    for (const auto& op : surface.opsOf(Kind::LineTo)) {
        EXPECT_EQ(op.colour, 128);
    }
    EXPECT_EQ(surface.penPosition(), (LogicalPoint{4, -3000}));
}

TEST_F(GraphDrawing, LineColourMinusOneIsTheForeColour) {
    graph.setBunkaino(2);
    const TaggedValue data = TaggedValue::makeArray(2);
    graph.DrawGraph(data, -1);
    graph.DrawGraph(data, 0);
    const auto lines = surface.opsOf(Kind::LineTo);
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0].colour, std::nullopt);
    EXPECT_EQ(lines[3].colour, 0);
}

TEST_F(GraphDrawing, SeriesPointsAreRoundedToSinglePrecision) {
    graph.setMax(0.1);
    graph.setBunkaino(1);
    graph.DrawGraph(TaggedValue(TaggedValue::Array{TaggedValue(1e-9)}), 1);
    EXPECT_EQ(polyline().front().y, static_cast<float>(0.1 - 1e-9));
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(TaggedValue(TaggedValue::Array{TaggedValue(-1e300)}), 1); }),
              ErrorKind::Overflow);
}

TEST_F(GraphDrawing, NonArrayOrEmptyWidthDrawsNoSegment) {
    surface.setPenPosition({3, 4});
    surface.ops.clear();
    graph.DrawGraph(TaggedValue(5.0), 1);
    graph.DrawGraph(TaggedValue(), 1);
    EXPECT_TRUE(surface.ops.empty());
    EXPECT_EQ(surface.penPosition(), (LogicalPoint{3, 4}));

    EXPECT_EQ(errorOf([&] { graph.setBunkaino(0); }), ErrorKind::InvalidValue);  // refused as a width
    EXPECT_EQ(graph.Bunkaino(), 0);
    graph.DrawGraph(TaggedValue(TaggedValue::Array{TaggedValue(40.0)}), 1);
    ASSERT_EQ(surface.ops.size(), 1U);
    EXPECT_EQ(surface.ops[0].kind, Kind::Pen);
    EXPECT_EQ(surface.ops[0].to, (LogicalPoint{0, 60}));
    // Element 0 is read for the pen even when no point follows.
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(TaggedValue::makeArray(0), 1); }), ErrorKind::IndexOutOfRange);
}

TEST_F(GraphDrawing, SeriesFailuresKeepThePointsDrawnBefore) {
    graph.setBunkaino(5);
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(TaggedValue::makeArray(3), 1); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(polyline().size(), 3U);

    surface.ops.clear();
    TaggedValue data = TaggedValue::makeArray(5);
    data.at(2) = "many";
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(data, 1); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(polyline().size(), 2U);

    surface.ops.clear();
    data.at(2) = TaggedValue::makeArray(1);
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(data, 1); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(polyline().size(), 2U);
}

TEST_F(GraphDrawing, SampleCountsBeyondTheSixteenBitIndexOverflow) {
    const TaggedValue data = TaggedValue::makeArray(32769);
    graph.setBunkaino(32768);
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(data, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(polyline().size(), 32768U);

    surface.ops.clear();
    graph.setBunkaino(32769);
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(data, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(surface.ops.size(), 1U);
    graph.setBunkaino(-32768);
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(data, 1); }), ErrorKind::Overflow);
}

TEST_F(GraphDrawing, RefusedMaxStillDrivesTheDrawing) {
    graph.setMax(50);
    graph.setMax(0);  // the surface refuses a height of 0
    EXPECT_EQ(graph.Max(), 0.0);
    EXPECT_EQ(surface.scaleHeight(), 50.0F);
    graph.setBunkaino(1);
    graph.DrawGraph(TaggedValue(TaggedValue::Array{TaggedValue(7.0)}), 1);
    EXPECT_EQ(polyline().front().y, -7.0F);
}

TEST_F(GraphDrawing, ResizeAppliesTheScaleAndShowsTheGridAlone) {
    graph.setMax(9000);
    graph.setBunkaino(10);
    graph.setBarX(true);
    graph.setBarXInterval(std::int16_t{1000});
    surface.setScaleWidth(125);
    surface.setScaleHeight(85);
    graph.DrawGraph(TaggedValue::makeArray(10), 1);
    host.changes.clear();

    graph.resize(300, 120);
    EXPECT_EQ(surface.placeWidth, 300);
    EXPECT_EQ(surface.placeHeight, 120);
    EXPECT_EQ(surface.scaleWidth(), 10.0F);
    EXPECT_EQ(surface.scaleHeight(), 9000.0F);
    EXPECT_EQ(host.changes, (std::vector<std::string>{"Max", "Bunkaino"}));
    EXPECT_EQ(surface.ops.front().kind, Kind::Clear);
    EXPECT_EQ(surface.opsOf(Kind::Line).size(), surface.ops.size() - 1);
    EXPECT_EQ(horizontalBars().size(), 10U);
}

TEST_F(GraphDrawing, RefreshRefreshesTheSurface) {
    graph.Refresh();
    EXPECT_EQ(surface.refreshes, 1);
}

}  // namespace
}  // namespace quorvel::testing
