#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GraphTestFixture.h"

namespace quorvel::testing {
namespace {

struct Write {
    std::string name;
    std::function<void(MinGraph&)> write;
    std::function<std::string(const MinGraph&)> read;
    std::string expected;
};

std::vector<Write> everyWrite() {
    auto font = std::make_shared<const FontObject>(FontObject{.name = "Serif", .size = 12});
    return {
        {"ForeColor", [](MinGraph& g) { g.setForeColor(0x123456); },
         [](const MinGraph& g) { return std::to_string(g.ForeColor()); }, std::to_string(0x123456)},
        {"Enabled", [](MinGraph& g) { g.setEnabled(false); },
         [](const MinGraph& g) { return std::to_string(g.Enabled()); }, "0"},
        {"AutoRedraw", [](MinGraph& g) { g.setAutoRedraw(true); },
         [](const MinGraph& g) { return std::to_string(g.AutoRedraw()); }, "1"},
        {"Font", [font](MinGraph& g) { g.setFont(font); },
         [](const MinGraph& g) { return g.Font() ? g.Font()->name : ""; }, "Serif"},
        {"Appearance", [](MinGraph& g) { g.setAppearance(0); },
         [](const MinGraph& g) { return std::to_string(g.Appearance()); }, "0"},
        {"BackStyle", [](MinGraph& g) { g.setBackStyle(0); },
         [](const MinGraph& g) { return std::to_string(g.BackStyle()); }, "0"},
        {"BorderStyle", [](MinGraph& g) { g.setBorderStyle(0); },
         [](const MinGraph& g) { return std::to_string(g.BorderStyle()); }, "0"},
        {"BarX", [](MinGraph& g) { g.setBarX(true); }, [](const MinGraph& g) { return std::to_string(g.BarX()); }, "1"},
        {"BarY", [](MinGraph& g) { g.setBarY(true); }, [](const MinGraph& g) { return std::to_string(g.BarY()); }, "1"},
        {"BarXInterval", [](MinGraph& g) { g.setBarXInterval("250"); },
         [](const MinGraph& g) { return g.BarXInterval().text(); }, "250"},
        {"BarYInterval", [](MinGraph& g) { g.setBarYInterval(2.5); },
         [](const MinGraph& g) { return g.BarYInterval().toText(); }, "2.5"},
        {"Bunkaino", [](MinGraph& g) { g.setBunkaino(60); },
         [](const MinGraph& g) { return std::to_string(g.Bunkaino()); }, "60"},
        {"Max", [](MinGraph& g) { g.setMax(9000); }, [](const MinGraph& g) { return std::to_string(g.Max()); },
         std::to_string(9000.0)},
        {"BarXColor", [](MinGraph& g) { g.setBarXColor(255); },
         [](const MinGraph& g) { return std::to_string(g.BarXColor()); }, "255"},
        {"BarYColor", [](MinGraph& g) { g.setBarYColor(65280); },
         [](const MinGraph& g) { return std::to_string(g.BarYColor()); }, "65280"},
        {"DrawMode", [](MinGraph& g) { g.setDrawMode(7); },
         [](const MinGraph& g) { return std::to_string(g.DrawMode()); }, "7"},
        {"DrawStyle", [](MinGraph& g) { g.setDrawStyle(2); },
         [](const MinGraph& g) { return std::to_string(g.DrawStyle()); }, "2"},
        {"DrawWidth", [](MinGraph& g) { g.setDrawWidth(3); },
         [](const MinGraph& g) { return std::to_string(g.DrawWidth()); }, "3"},
        {"BackColor", [](MinGraph& g) { g.setBackColor(systemColour(5)); },
         [](const MinGraph& g) { return std::to_string(g.BackColor()); }, std::to_string(systemColour(5))},
    };
}

using GraphProperties = GraphTest;

TEST_F(GraphProperties, EveryWriteNotifiesOnceWithItsNameAfterTheValueIsHeld) {
    for (const Write& w : everyWrite()) {
        std::string seenByHost;
        host.onChange = [&](std::string_view) { seenByHost = w.read(graph); };
        host.changes.clear();
        w.write(graph);
        EXPECT_EQ(host.changes, std::vector<std::string>{w.name});
        EXPECT_EQ(seenByHost, w.expected) << w.name;
        EXPECT_EQ(w.read(graph), w.expected) << w.name;
    }
    EXPECT_TRUE(surface.ops.empty());
}

TEST_F(GraphProperties, RefusedDelegatedWritesFailWithoutNotifying) {
    const std::vector<std::function<void()>> refused{
        [&] { graph.setDrawWidth(0); },  [&] { graph.setDrawMode(17); },   [&] { graph.setDrawStyle(-1); },
        [&] { graph.setAppearance(2); }, [&] { graph.setBorderStyle(3); }, [&] { graph.setBackStyle(2); },
        [&] { graph.setFont(nullptr); },
    };
    for (const auto& write : refused) {
        EXPECT_EQ(errorOf(write), ErrorKind::InvalidValue);
    }
    EXPECT_TRUE(host.changes.empty());
    EXPECT_EQ(graph.DrawWidth(), 1);
    EXPECT_EQ(graph.BackStyle(), 1);
}

TEST_F(GraphProperties, BunkainoWriteFailsWithTheSurfaceAfterStoringAndNotifying) {
    surface.refuseScale = true;
    EXPECT_EQ(errorOf([&] { graph.setBunkaino(25); }), ErrorKind::InvalidValue);
    EXPECT_EQ(graph.Bunkaino(), 25);
    EXPECT_EQ(host.changes, std::vector<std::string>{"Bunkaino"});

    host.failNotifications = true;
    surface.refuseScale = false;
    EXPECT_EQ(errorOf([&] { graph.setBunkaino(30); }), ErrorKind::InvalidOperation);
    EXPECT_EQ(surface.scaleWidth(), 1.0F);
}

TEST_F(GraphProperties, MaxWriteNeverFails) {
    host.failNotifications = true;
    graph.setMax(400);
    EXPECT_EQ(surface.scaleHeight(), 400.0F);
    graph.setMax(1e300);  // beyond single precision: the height stays
    EXPECT_EQ(graph.Max(), 1e300);
    EXPECT_EQ(surface.scaleHeight(), 400.0F);
    EXPECT_EQ(host.changes.size(), 2U);
}

TEST_F(GraphProperties, IntervalsKeepTheirKindAndReadsAreCopies) {
    graph.setBarXInterval("1000");
    TaggedValue copy = graph.BarXInterval();
    EXPECT_EQ(copy.kind(), ValueKind::Text);
    copy = 5.0;
    EXPECT_EQ(graph.BarXInterval(), TaggedValue("1000"));
    EXPECT_EQ(graph.BarYInterval(), TaggedValue(std::int16_t{10}));
}

TEST_F(GraphProperties, FontReadIsTheSurfacesObject) {
    auto font = std::make_shared<const FontObject>(FontObject{.name = "Mono"});
    graph.setFont(font);
    EXPECT_EQ(graph.Font().get(), font.get());
    EXPECT_EQ(surface.fontObject().get(), font.get());
}

class Listener final : public InputListener {
public:
    std::vector<std::string> events;
    void Click() override { events.emplace_back("Click"); }
    void DblClick() override { events.emplace_back("DblClick"); }
    void KeyDown(std::int16_t& KeyCode, std::int16_t& Shift) override {
        events.push_back("KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
        KeyCode = 0;
    }
    void KeyPress(std::int16_t& KeyAscii) override {
        events.push_back("KeyPress " + std::to_string(KeyAscii));
        KeyAscii = 0;
    }
    void KeyUp(std::int16_t& KeyCode, std::int16_t& Shift) override {
        events.push_back("KeyUp " + std::to_string(KeyCode) + " " + std::to_string(Shift));
    }
    void MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
        events.push_back("MouseDown " + std::to_string(Button) + " " + std::to_string(Shift) + " " + std::to_string(X) +
                         " " + std::to_string(Y));
        X = -1;
    }
    void MouseMove(std::int16_t& Button, std::int16_t&, float&, float&) override {
        events.push_back("MouseMove " + std::to_string(Button));
    }
    void MouseUp(std::int16_t& Button, std::int16_t&, float&, float&) override {
        events.push_back("MouseUp " + std::to_string(Button));
    }
};

TEST_F(GraphProperties, SurfaceEventsReachTheListenerByReference) {
    Listener listener;
    ASSERT_NE(surface.listener, nullptr);
    surface.listener->Click();  // nobody listens yet
    graph.setEventListener(&listener);

    std::int16_t button = 1, shift = 2, key = 65, ascii = 97;
    float x = 5.0F, y = 4500.0F;
    surface.listener->MouseDown(button, shift, x, y);
    surface.listener->MouseMove(button, shift, x, y);
    surface.listener->MouseUp(button, shift, x, y);
    surface.listener->Click();
    surface.listener->DblClick();
    surface.listener->KeyDown(key, shift);
    surface.listener->KeyPress(ascii);
    surface.listener->KeyUp(button, shift);
    EXPECT_EQ(listener.events,
              (std::vector<std::string>{"MouseDown 1 2 5.000000 4500.000000", "MouseMove 1", "MouseUp 1", "Click",
                                        "DblClick", "KeyDown 65 2", "KeyPress 97", "KeyUp 1 2"}));
    EXPECT_EQ(x, -1.0F);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(ascii, 0);
}

TEST(GraphLifetime, TheSurfaceForgetsAControlThatIsGone) {
    RecordingSurface surface;
    RecordingHost host;
    { MinGraph graph(surface, host); }
    EXPECT_EQ(surface.listener, nullptr);
}

}  // namespace
}  // namespace quorvel::testing
