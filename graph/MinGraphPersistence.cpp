#include <cstdint>
#include <variant>

#include "common/RuntimeError.h"
#include "graph/MinGraph.h"

// The host's notifications that set up an instance: new, loaded or saved. Load sets the
// targets directly, without property writes, so it raises no change notifications.
namespace quorvel {
namespace {

const TaggedValue& plainValue(const PropertyValue& value, std::string_view key) {
    if (const auto* plain = std::get_if<TaggedValue>(&value)) {
        return *plain;
    }
    throw RuntimeError(ErrorKind::TypeMismatch, "the saved property \"" + std::string(key) + "\" is a font");
}

FontRef fontValue(const PropertyValue& value, std::string_view key) {
    if (const auto* font = std::get_if<FontRef>(&value)) {
        return *font;
    }
    throw RuntimeError(ErrorKind::TypeMismatch, "the saved property \"" + std::string(key) + "\" is not a font");
}

TaggedValue readValue(PropertyBag& bag, std::string_view key, const TaggedValue& defaultValue) {
    return plainValue(bag.read(key, defaultValue), key);
}

std::int16_t checkedBackStyle(std::int16_t value) {
    if (value != 0 && value != 1) {
        throw RuntimeError(ErrorKind::InvalidValue, "BackStyle must be 0 or 1");
    }
    return value;
}

constexpr std::int16_t int16(int value) {
    return static_cast<std::int16_t>(value);
}

}  // namespace

void MinGraph::initialise() {
    bunkaino_ = 10;
    max_ = 100.0;
    barX_ = false;
    barY_ = false;
    barXInterval_ = TaggedValue(int16(10));
    barYInterval_ = TaggedValue(int16(10));
    barXColor_ = 0;
    barYColor_ = 0;
}

void MinGraph::load(PropertyBag& bag) {
    picGraph_.setForeColor(readValue(bag, "ForeColor", TaggedValue(buttonTextColour)).toInt32());
    picGraph_.setEnabledState(readValue(bag, "Enabled", TaggedValue(true)).toBool());
    picGraph_.setPersistentImage(readValue(bag, "AutoRedraw", TaggedValue(false)).toBool());
    picGraph_.setFontObject(fontValue(bag.read("Font", host_.ambientFont()), "Font"));
    picGraph_.setAppearance(readValue(bag, "Appearance", int16(1)).toInt16());
    backStyle_ = checkedBackStyle(readValue(bag, "BackStyle", int16(1)).toInt16());
    picGraph_.setBorderStyle(readValue(bag, "BorderStyle", int16(1)).toInt16());
    picGraph_.setScaleWidth(readValue(bag, "Bunkaino", int16(125)).toSingle());
    picGraph_.setScaleHeight(readValue(bag, "Max", int16(85)).toSingle());
    barX_ = readValue(bag, "BarX", int16(0)).toBool();
    barY_ = readValue(bag, "BarY", int16(0)).toBool();
    barXInterval_ = readValue(bag, "BarXInterval", int16(10));
    barYInterval_ = readValue(bag, "BarYInterval", int16(10));
    bunkaino_ = readValue(bag, "Bunkaino", int16(10)).toInt32();
    max_ = readValue(bag, "Max", int16(100)).toDouble();
    barXColor_ = readValue(bag, "BarXColor", int16(0)).toInt32();
    barYColor_ = readValue(bag, "BarYColor", int16(0)).toInt32();
    picGraph_.setDrawMode(readValue(bag, "DrawMode", int16(13)).toInt16());
    picGraph_.setDrawStyle(readValue(bag, "DrawStyle", int16(0)).toInt16());
    picGraph_.setDrawWidth(readValue(bag, "DrawWidth", int16(1)).toInt16());
    picGraph_.setBackColor(readValue(bag, "BackColor", int16(0)).toInt32());
}

// BackColor is saved too, after the rest, so that a loaded instance keeps the colour it
// was saved with; at its default 0 it stores nothing, as the other defaults do.
void MinGraph::save(PropertyBag& bag) const {
    bag.write("ForeColor", TaggedValue(picGraph_.foreColor()), TaggedValue(buttonTextColour));
    bag.write("Enabled", TaggedValue(picGraph_.enabledState()), TaggedValue(true));
    bag.write("AutoRedraw", TaggedValue(picGraph_.persistentImage()), TaggedValue(false));
    bag.write("Font", picGraph_.fontObject(), host_.ambientFont());
    bag.write("Appearance", TaggedValue(picGraph_.appearance()), TaggedValue(int16(1)));
    bag.write("BackStyle", TaggedValue(backStyle_), TaggedValue(int16(1)));
    bag.write("BorderStyle", TaggedValue(picGraph_.borderStyle()), TaggedValue(int16(1)));
    bag.write("Bunkaino", TaggedValue(picGraph_.scaleWidth()), TaggedValue(int16(125)));
    bag.write("Max", TaggedValue(picGraph_.scaleHeight()), TaggedValue(int16(85)));
    bag.write("BarX", TaggedValue(barX_), TaggedValue(int16(0)));
    bag.write("BarY", TaggedValue(barY_), TaggedValue(int16(0)));
    bag.write("BarXInterval", barXInterval_, TaggedValue(int16(10)));
    bag.write("BarYInterval", barYInterval_, TaggedValue(int16(10)));
    bag.write("Bunkaino", TaggedValue(bunkaino_), TaggedValue(int16(10)));
    bag.write("Max", TaggedValue(max_), TaggedValue(int16(100)));
    bag.write("BarXColor", TaggedValue(barXColor_), TaggedValue(int16(0)));
    bag.write("BarYColor", TaggedValue(barYColor_), TaggedValue(int16(0)));
    bag.write("DrawMode", TaggedValue(picGraph_.drawMode()), TaggedValue(int16(13)));
    bag.write("DrawStyle", TaggedValue(picGraph_.drawStyle()), TaggedValue(int16(0)));
    bag.write("DrawWidth", TaggedValue(picGraph_.drawWidth()), TaggedValue(int16(1)));
    bag.write("BackColor", TaggedValue(picGraph_.backColor()), TaggedValue(int16(0)));
}

}  // namespace quorvel
