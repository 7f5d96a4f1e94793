#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <utility>

#include "graph/MemoryPropertyBag.h"
#include "graph/MinGraph.h"
#include "support/ErrorKindOf.h"
#include "support/RecordingHost.h"
#include "support/RecordingSurface.h"

namespace quorvel::testing {
namespace {

using Kind = RecordingSurface::OpKind;
using test::errorOf;

// A value with its kind marked: % 16-bit, & 32-bit, ! single, # double, ? boolean, $ text.
std::string show(const TaggedValue& v) {
    return v.toText() + std::array{"", "%", "&", "!", "#", "?", "$", "()"}[static_cast<int>(v.kind())];
}
std::string show(const FontRef& font) {
    return font->name + "/" + std::to_string(font->charset);
}
std::string show(auto value) {
    return std::to_string(value);
}
struct Property {
    std::string name;
    std::function<void(MinGraph&)> write;  // a value other than the default
    std::function<std::string(const MinGraph&)> read;
};
// clang-format off
#define PROP(Name, value) \
    Property{#Name, [=](MinGraph& g) { g.set##Name(value); }, [](const MinGraph& g) { return show(g.Name()); }}
std::vector<Property> everyProperty() {
    const auto serif = std::make_shared<const FontObject>(FontObject{.name = "Serif", .charset = 2});
    return {PROP(ForeColor, 0x123456), PROP(Enabled, false), PROP(AutoRedraw, true), PROP(Font, serif),
            PROP(Appearance, 0), PROP(BackStyle, 0), PROP(BorderStyle, 0), PROP(BarX, true), PROP(BarY, true),
            PROP(BarXInterval, "10"), PROP(BarYInterval, std::int32_t{5}), PROP(Bunkaino, 60), PROP(Max, 50),
            PROP(BarXColor, 255), PROP(BarYColor, 65280), PROP(DrawMode, 7), PROP(DrawStyle, 2),
            PROP(DrawWidth, 3), PROP(BackColor, systemColour(5))};
    // clang-format on
}
#undef PROP
class GraphTest : public ::testing::Test {
protected:
    // Where each recorded bar lies: y of a horizontal one, x of a vertical one.
    [[nodiscard]] std::vector<float> bars() const {
        std::vector<float> at;
        for (const auto& op : surface.opsOf(Kind::Line)) {
            const bool across = op.from.y == op.to.y;
            const LogicalPoint end{across ? surface.scaleWidth() : op.from.x,
                                   across ? op.from.y : surface.scaleHeight()};
            EXPECT_TRUE(op.from == (across ? LogicalPoint{0, end.y} : LogicalPoint{end.x, 0}) && op.to == end);
            EXPECT_EQ(op.colour, across ? graph.BarXColor() : graph.BarYColor());
            at.push_back(across ? op.from.y : op.from.x);
        }
        return at;
    }
    // Pen moves and polyline points with their colour, -1 for the fore colour.
    [[nodiscard]] std::string trace() const {
        std::ostringstream out;
        for (const auto& op : surface.ops) {
            out << (op.kind == Kind::Pen ? " P" : " L") << op.to.x << ',' << op.to.y << '@' << op.colour.value_or(-1);
        }
        return out.str();
    }
    void grid(bool across, double end, const TaggedValue& interval) {
        graph.setBarX(across);
        graph.setBarY(!across);
        across ? graph.setMax(end) : graph.setBunkaino(static_cast<std::int32_t>(end));
        across ? graph.setBarXInterval(interval) : graph.setBarYInterval(interval);
        graph.Cls();
    }
    static TaggedValue series(const TaggedValue::Array& values) { return {values}; }

    RecordingSurface surface;
    RecordingHost host;
    MinGraph graph{surface, host};
};

TEST_F(GraphTest, GridBarsStepFromTheFarEdgeAlwaysEndAndAFailureKeepsThoseDrawnBefore) {
    const std::vector<float> thousands{9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000, 0};
    const std::tuple<bool, double, TaggedValue, std::vector<float>> cases[] = {
        {true, 9000, std::int16_t{1000}, thousands},
        {true, 9001.5, std::int16_t{1000}, {9002, 8002, 7002, 6002, 5002, 4002, 3002, 2002, 1002, 2}},
        {false, 60, std::int16_t{15}, {60, 45, 30, 15, 0}},
        {false, 50, 15.0, {50, 35, 20, 5}},
        // Intervals that do not advance: nothing, or the one bar at a start at or below 0.
        {true, 9000, std::int16_t{0}, {}},
        {true, 9000, std::int16_t{-1000}, {}},
        {true, -5, "0.4", {-5}},
        {false, -3, std::int16_t{0}, {-3}},
        {false, 1, std::int16_t{0}, {}},
        {true, -25, std::int16_t{-10}, {-25, -15, -5}}};
    graph.setBarXColor(0xFF0000);
    graph.setBarYColor(0x00FF00);
    for (const auto& [across, end, interval, expected] : cases) {
        grid(across, end, interval);
        EXPECT_EQ(bars(), expected) << end << " by " << interval.toText();
    }
    // A failure keeps the bars drawn before it: the vertical ones come after the horizontal ones.
    graph.setBarYInterval("abc");
    grid(true, 30, std::int16_t{10});
    graph.setBarY(true);
    EXPECT_EQ(errorOf([&] { graph.Cls(); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(bars(), (std::vector<float>{30, 20, 10, 0}));
    EXPECT_EQ(errorOf([&] { grid(true, 3e9, std::int16_t{10}); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([&] { grid(true, 100, 3e9); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([&] { grid(true, 100, "ten"); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(surface.ops.size(), 1U);
}

TEST_F(GraphTest, SeriesIsOnePolylineFromItsFirstPointAndAFailureKeepsThePointsBefore) {
    graph.setMax(9000);
    graph.setBunkaino(5);
    // Empty elements count as 0; 12000 lies beyond the top edge.
    graph.DrawGraph(series({0.0, std::int32_t{9000}, {}, "4500", 12000.0}), 128);
    EXPECT_EQ(trace(), " P0,9000@-1 L0,9000@128 L1,0@128 L2,9000@128 L3,4500@128 L4,-3000@128");

    surface.ops.clear();
    graph.setBunkaino(2);
    graph.DrawGraph(TaggedValue::makeArray(2), -1);  // the fore colour
    graph.DrawGraph(TaggedValue(5.0), 1);            // not an array: nothing
    EXPECT_EQ(trace(), " P0,9000@-1 L0,9000@-1 L1,9000@-1");

    graph.setMax(0.1);  // points are single precision
    graph.setBunkaino(1);
    graph.DrawGraph(series({1e-9}), 1);
    EXPECT_EQ(surface.penPosition().y, static_cast<float>(0.1 - 1e-9));

    surface.ops.clear();
    graph.setBunkaino(-32767);  // the lowest last index that fits 16 bits: the pen alone
    graph.DrawGraph(series({1.0}), 1);
    EXPECT_EQ(surface.ops.size(), 1U);

    // A failure keeps the points drawn before it.
    TaggedValue wrongKind = TaggedValue::makeArray(5);
    wrongKind.at(2) = "many";
    const TaggedValue big = TaggedValue::makeArray(32769);
    const std::tuple<std::int32_t, TaggedValue, ErrorKind, std::size_t> cases[] = {
        {5, TaggedValue::makeArray(3), ErrorKind::IndexOutOfRange, 1 + 3},
        {5, wrongKind, ErrorKind::TypeMismatch, 1 + 2},
        {1, series({-1e300}), ErrorKind::Overflow, 0},
        // Sample indexes are 16-bit.
        {32768, big, ErrorKind::Overflow, 1 + 32768},
        {32769, big, ErrorKind::Overflow, 0},
        {-32768, big, ErrorKind::Overflow, 0}};
    for (const auto& [width, data, error, drawn] : cases) {
        surface.ops.clear();
        graph.setBunkaino(width);
        EXPECT_EQ(errorOf([&, &d = data] { graph.DrawGraph(d, 1); }), error) << width;
        EXPECT_EQ(surface.ops.size(), drawn) << width;
    }
}

TEST_F(GraphTest, RefusedWidthAndHeightAreStoredNotifiedAndDriveTheDrawing) {
    graph.setMax(50);
    graph.setMax(0);  // the surface keeps its height of 50
    EXPECT_EQ(errorOf([&] { graph.setBunkaino(0); }), ErrorKind::InvalidValue);
    EXPECT_EQ(host.changes, (std::vector<std::string>{"Max", "Max", "Bunkaino"}));
    graph.DrawGraph(series({7.0}), 1);
    EXPECT_EQ(trace(), " P0,-7@-1");
    EXPECT_EQ(std::pair(graph.Max(), graph.Bunkaino()), std::pair(0.0, 0));
    // Element 0 is read for the pen even when no point follows.
    EXPECT_EQ(errorOf([&] { graph.DrawGraph(TaggedValue::makeArray(0), 1); }), ErrorKind::IndexOutOfRange);

    // A failing notification stops a width change before the surface, never a height change.
    host.onChange = [](std::string_view) { throw RuntimeError(ErrorKind::InvalidOperation, "refused"); };
    EXPECT_EQ(errorOf([&] { graph.setBunkaino(30); }), ErrorKind::InvalidOperation);
    graph.setMax(1e300);  // beyond single precision: the height stays
    EXPECT_EQ(std::tuple(surface.scaleWidth(), surface.scaleHeight(), graph.Max()), std::tuple(125.0F, 50.0F, 1e300));
}

// A loaded control's surface holds the extent read from the bag, not the fields: a
// resize must hand the fields to the surface before the grid is drawn against it.
TEST_F(GraphTest, ResizeAppliesMaxAndBunkainoToTheSurfaceBeforeItClearsAndDrawsTheGrid) {
    for (const auto& [max, bunkaino, count] : {std::tuple{9000.0F, 10, 11U}, std::tuple{50.0F, 60, 2U}}) {
        grid(true, max, std::int16_t{1000});
        graph.setBunkaino(bunkaino);
        graph.setBarY(true);
        graph.setBarYInterval(std::int16_t{100});
        surface.setScaleWidth(125);
        surface.setScaleHeight(85);
        host.changes.clear();
        graph.resize(300, 120);
        EXPECT_EQ(std::tuple(surface.scaleWidth(), surface.scaleHeight(), surface.placeWidth, surface.placeHeight),
                  std::tuple(static_cast<float>(bunkaino), max, 300, 120));
        EXPECT_EQ(host.changes, (std::vector<std::string>{"Max", "Bunkaino"}));
        EXPECT_EQ(surface.ops.front().kind, Kind::Clear);
        EXPECT_EQ(bars().size(), count);
    }
}

TEST_F(GraphTest, EveryWriteNotifiesOnceAfterTheValueIsHeldAndDrawsNothing) {
    for (const Property& p : everyProperty()) {
        const std::string before = p.read(graph);
        std::string seen;
        host.onChange = [&](std::string_view) { seen = p.read(graph); };
        host.changes.clear();
        p.write(graph);
        EXPECT_EQ(host.changes, std::vector<std::string>{p.name});
        EXPECT_TRUE(seen == p.read(graph) && seen != before) << p.name;
    }
    EXPECT_TRUE(surface.ops.empty());
    host.changes.clear();
    EXPECT_EQ(errorOf([&] { graph.setBackStyle(2); }), ErrorKind::InvalidValue);  // refused: no notification
    EXPECT_TRUE(host.changes.empty());
    testing::LoggingListener events;  // the pointer on the surface reaches the graph's own listener
    graph.setEventListener(&events);
    std::int16_t button = 1, shift = 0;
    float x = 5;
    surface.listener->MouseMove(button, shift, x, x);
    EXPECT_EQ(events.log.str(), "MouseMove 1 0 5 5;");
    graph.setEventListener(nullptr);
    { MinGraph other(surface, host); }  // a control that is gone leaves the surface
    EXPECT_EQ(surface.listener, nullptr);
}

TEST_F(GraphTest, LoadReadsEveryPropertyOrItsDefaultAndDrawsWithWhatItRead) {
    for (const auto& p : everyProperty()) {
        p.write(graph);
    }
    MemoryPropertyBag saved;
    graph.save(saved);
    RecordingSurface otherSurface;
    MinGraph other(otherSurface, host);
    other.load(saved);
    for (const auto& p : everyProperty()) {
        EXPECT_EQ(p.read(other), p.read(graph)) << p.name;
    }
    EXPECT_EQ(otherSurface.scaleWidth(), surface.scaleWidth());

    // An empty bag gives 10 samples against 100; a graph on the defaults saves nothing.
    graph.setBunkaino(40);
    graph.setBarX(true);
    host.changes.clear();
    MemoryPropertyBag empty;
    graph.load(empty);
    surface.ops.clear();
    graph.DrawGraph(series({40.0, {}, {}, {}, {}, {}, {}, {}, {}, 40.0}), 1);
    EXPECT_EQ(trace(),
              " P0,60@-1 L0,60@1 L1,100@1 L2,100@1 L3,100@1 L4,100@1 L5,100@1 L6,100@1 L7,100@1 L8,100@1 L9,60@1");
    EXPECT_EQ((LogicalPoint{surface.scaleWidth(), surface.scaleHeight()}), (LogicalPoint{125, 85}));
    EXPECT_TRUE(host.changes.empty());
    graph.Cls();
    EXPECT_TRUE(bars().empty());
    graph.save(empty);
    EXPECT_TRUE(empty.entries().empty());
}

}  // namespace
}  // namespace quorvel::testing
