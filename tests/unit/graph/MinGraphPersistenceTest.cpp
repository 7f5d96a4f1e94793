#include <memory>
#include <string>
#include <vector>

#include "GraphTestFixture.h"
#include "app/frmMainLayout.h"
#include "graph/MemoryPropertyBag.h"

namespace quorvel::testing {
namespace {

std::vector<std::string> keysOf(const MemoryPropertyBag& bag) {
    std::vector<std::string> keys;
    for (const auto& entry : bag.entries()) {
        keys.push_back(entry.key);
    }
    return keys;
}

const TaggedValue& plain(const MemoryPropertyBag& bag, std::size_t index) {
    return std::get<TaggedValue>(bag.entries().at(index).value);
}

using GraphPersistence = GraphTest;

// A bag that lists the keys read from it and answers every read with the default.
class ReadLog final : public PropertyBag {
public:
    std::vector<std::string> keys;
    PropertyValue read(std::string_view key, const PropertyValue& defaultValue) override {
        keys.emplace_back(key);
        return defaultValue;
    }
    void write(std::string_view, const PropertyValue&, const PropertyValue&) override {}
};

TEST_F(GraphPersistence, LoadReadsEveryKeyInOrder) {
    ReadLog log;
    graph.load(log);
    EXPECT_EQ(log.keys,
              (std::vector<std::string>{
                  "ForeColor", "Enabled",   "AutoRedraw", "Font",     "Appearance",   "BackStyle",    "BorderStyle",
                  "Bunkaino",  "Max",       "BarX",       "BarY",     "BarXInterval", "BarYInterval", "Bunkaino",
                  "Max",       "BarXColor", "BarYColor",  "DrawMode", "DrawStyle",    "DrawWidth",    "BackColor"}));
}

TEST_F(GraphPersistence, SaveWritesEveryChangedKeyInOrderWithItsKind) {
    graph.setForeColor(1);
    graph.setEnabled(false);
    graph.setAutoRedraw(true);
    graph.setFont(std::make_shared<const FontObject>(FontObject{.name = "Serif"}));
    graph.setAppearance(0);
    graph.setBackStyle(0);
    graph.setBorderStyle(0);
    graph.setBarX(true);
    graph.setBarY(true);
    graph.setBarXInterval("1000");
    graph.setBarYInterval(std::int32_t{5});
    graph.setBunkaino(60);
    graph.setMax(50);
    graph.setBarXColor(2);
    graph.setBarYColor(3);
    graph.setDrawMode(7);
    graph.setDrawStyle(1);
    graph.setDrawWidth(2);
    graph.setBackColor(4);
    MemoryPropertyBag saved;
    graph.save(saved);
    EXPECT_EQ(keysOf(saved),
              (std::vector<std::string>{
                  "forecolor", "enabled",   "autoredraw", "font",     "appearance",   "backstyle",    "borderstyle",
                  "bunkaino",  "max",       "barx",       "bary",     "barxinterval", "baryinterval", "bunkaino",
                  "max",       "barxcolor", "barycolor",  "drawmode", "drawstyle",    "drawwidth",    "backcolor"}));
    EXPECT_EQ(plain(saved, 7), TaggedValue(60.0F));
    EXPECT_EQ(plain(saved, 8), TaggedValue(50.0F));
    EXPECT_EQ(plain(saved, 12), TaggedValue(std::int32_t{5}));
    EXPECT_EQ(plain(saved, 13), TaggedValue(std::int32_t{60}));
    EXPECT_EQ(plain(saved, 14), TaggedValue(50.0));
    EXPECT_EQ(plain(saved, 16), TaggedValue(std::int32_t{3}));
    EXPECT_EQ(plain(saved, 19), TaggedValue(std::int16_t{2}));
}

TEST_F(GraphPersistence, EmptyBagLoadsTheDefaults) {
    graph.setBunkaino(40);
    host.changes.clear();
    MemoryPropertyBag empty;
    graph.load(empty);

    EXPECT_EQ(graph.ForeColor(), Colour(0x80000012));
    EXPECT_TRUE(graph.Enabled());
    EXPECT_FALSE(graph.AutoRedraw());
    EXPECT_EQ(graph.Font(), host.ambient);
    EXPECT_EQ(graph.Appearance(), 1);
    EXPECT_EQ(graph.BackStyle(), 1);
    EXPECT_EQ(graph.BorderStyle(), 1);
    EXPECT_EQ(surface.scaleWidth(), 125.0F);
    EXPECT_EQ(surface.scaleHeight(), 85.0F);
    EXPECT_FALSE(graph.BarX());
    EXPECT_FALSE(graph.BarY());
    EXPECT_EQ(graph.BarXInterval(), TaggedValue(std::int16_t{10}));
    EXPECT_EQ(graph.BarYInterval(), TaggedValue(std::int16_t{10}));
    EXPECT_EQ(graph.Bunkaino(), 10);
    EXPECT_EQ(graph.Max(), 100.0);
    EXPECT_EQ(graph.BarXColor(), 0);
    EXPECT_EQ(graph.BarYColor(), 0);
    EXPECT_EQ(graph.DrawMode(), 13);
    EXPECT_EQ(graph.DrawStyle(), 0);
    EXPECT_EQ(graph.DrawWidth(), 1);
    EXPECT_EQ(graph.BackColor(), 0);
    EXPECT_TRUE(host.changes.empty());
    EXPECT_TRUE(surface.ops.empty());
}

TEST_F(GraphPersistence, AllDefaultsSaveNothing) {
    MemoryPropertyBag empty;
    graph.load(empty);
    MemoryPropertyBag saved;
    graph.save(saved);
    EXPECT_TRUE(saved.entries().empty()) << saved.entries().front().key;
}

TEST_F(GraphPersistence, MainWindowInstanceLoadsAndSavesAsStored) {
    MemoryPropertyBag layout = frmMainLayout::MinGraphProperties();
    EXPECT_EQ(keysOf(layout),
              (std::vector<std::string>{"_extentx", "_extenty", "autoredraw", "font", "bunkaino", "max", "barx", "bary",
                                        "barxinterval", "max", "barxcolor", "barycolor", "drawwidth"}));
    graph.load(layout);
    EXPECT_TRUE(graph.AutoRedraw());
    EXPECT_EQ(graph.Font()->charset, 128);
    EXPECT_EQ(graph.Font()->size, 9.0);
    EXPECT_EQ(surface.scaleWidth(), 10.0F);
    EXPECT_EQ(surface.scaleHeight(), 9000.0F);
    EXPECT_EQ(graph.Bunkaino(), 10);
    EXPECT_EQ(graph.Max(), 9000.0);
    EXPECT_EQ(graph.BarXInterval(), TaggedValue("1000"));
    EXPECT_EQ(graph.BarXColor(), 0xFF0000);
    EXPECT_EQ(graph.DrawWidth(), 2);
    EXPECT_EQ(graph.ForeColor(), buttonTextColour);
    EXPECT_EQ(graph.DrawMode(), 13);

    MemoryPropertyBag saved;
    graph.save(saved);
    EXPECT_EQ(keysOf(saved), (std::vector<std::string>{"autoredraw", "font", "bunkaino", "max", "barx", "bary",
                                                       "barxinterval", "max", "barxcolor", "barycolor", "drawwidth"}));
    EXPECT_EQ(plain(saved, 2), TaggedValue(10.0F));
    EXPECT_EQ(plain(saved, 3), TaggedValue(9000.0F));
    EXPECT_EQ(plain(saved, 6), TaggedValue("1000"));
    EXPECT_EQ(plain(saved, 7), TaggedValue(9000.0));
    EXPECT_EQ(plain(saved, 8), TaggedValue(std::int32_t{0xFF0000}));
    EXPECT_EQ(plain(saved, 10), TaggedValue(std::int16_t{2}));
}

TEST_F(GraphPersistence, SavedFieldsComeBackIntoAFreshInstance) {
    graph.resize(100, 100);
    graph.setBunkaino(125);  // its logical width equals the width default and is not stored
    graph.setMax(85);
    graph.setBarYInterval(2.5);
    graph.setBackColor(0x404040);
    MemoryPropertyBag saved;
    graph.save(saved);

    RecordingSurface otherSurface;
    MinGraph other(otherSurface, host);
    other.load(saved);
    EXPECT_EQ(other.Bunkaino(), 125);
    EXPECT_EQ(other.Max(), 85.0);
    EXPECT_EQ(other.BarYInterval(), TaggedValue(2.5));
    EXPECT_EQ(other.BackColor(), 0x404040);
}

TEST_F(GraphPersistence, LoadStopsAtTheFirstValueThatDoesNotConvert) {
    MemoryPropertyBag bag;
    bag.append("ForeColor", TaggedValue(std::int32_t{255}));
    bag.append("Appearance", TaggedValue("flat"));
    bag.append("BorderStyle", TaggedValue(std::int16_t{0}));
    EXPECT_EQ(errorOf([&] { graph.load(bag); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(graph.ForeColor(), 255);
    EXPECT_EQ(graph.BorderStyle(), 1);

    MemoryPropertyBag zeroWidth;
    zeroWidth.append("bunkaino", TaggedValue(0.0F));
    EXPECT_EQ(errorOf([&] { graph.load(zeroWidth); }), ErrorKind::InvalidValue);

    MemoryPropertyBag fontAsText;
    fontAsText.append("font", TaggedValue("Arial"));
    EXPECT_EQ(errorOf([&] { graph.load(fontAsText); }), ErrorKind::TypeMismatch);
}

TEST_F(GraphPersistence, InitialiseResetsTheDrawingStateOnly) {
    graph.setBunkaino(50);
    graph.setBarX(true);
    graph.setBarXInterval("5");
    graph.setDrawWidth(3);
    host.changes.clear();
    graph.initialise();
    EXPECT_EQ(graph.Bunkaino(), 10);
    EXPECT_FALSE(graph.BarX());
    EXPECT_EQ(graph.BarXInterval(), TaggedValue(std::int16_t{10}));
    EXPECT_EQ(graph.DrawWidth(), 3);
    EXPECT_EQ(surface.scaleWidth(), 50.0F);
    EXPECT_TRUE(host.changes.empty());
}

}  // namespace
}  // namespace quorvel::testing
