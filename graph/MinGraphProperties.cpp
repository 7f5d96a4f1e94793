#include <exception>
#include <utility>

#include "common/RuntimeError.h"
#include "graph/MinGraph.h"

// Property reads and writes. A delegated write sets its holder first and notifies only
// when the holder took the value; an own write stores, then notifies.
namespace quorvel {

Colour MinGraph::ForeColor() const {
    return picGraph_.foreColor();
}

void MinGraph::setForeColor(Colour value) {
    picGraph_.setForeColor(value);
    notify("ForeColor");
}

bool MinGraph::Enabled() const {
    return picGraph_.enabledState();
}

void MinGraph::setEnabled(bool value) {
    picGraph_.setEnabledState(value);
    notify("Enabled");
}

bool MinGraph::AutoRedraw() const {
    return picGraph_.persistentImage();
}

void MinGraph::setAutoRedraw(bool value) {
    picGraph_.setPersistentImage(value);
    notify("AutoRedraw");
}

FontRef MinGraph::Font() const {
    return picGraph_.fontObject();
}

void MinGraph::setFont(FontRef value) {
    picGraph_.setFontObject(std::move(value));
    notify("Font");
}

std::int16_t MinGraph::Appearance() const {
    return picGraph_.appearance();
}

void MinGraph::setAppearance(std::int16_t value) {
    picGraph_.setAppearance(value);
    notify("Appearance");
}

void MinGraph::setBackStyle(std::int16_t value) {
    if (value != 0 && value != 1) {
        throw RuntimeError(ErrorKind::InvalidValue, "BackStyle must be 0 or 1");
    }
    backStyle_ = value;
    notify("BackStyle");
}

std::int16_t MinGraph::BorderStyle() const {
    return picGraph_.borderStyle();
}

void MinGraph::setBorderStyle(std::int16_t value) {
    picGraph_.setBorderStyle(value);
    notify("BorderStyle");
}

void MinGraph::setBarX(bool value) {
    barX_ = value;
    notify("BarX");
}

void MinGraph::setBarY(bool value) {
    barY_ = value;
    notify("BarY");
}

void MinGraph::setBarXInterval(const TaggedValue& value) {
    barXInterval_ = value;
    notify("BarXInterval");
}

void MinGraph::setBarYInterval(const TaggedValue& value) {
    barYInterval_ = value;
    notify("BarYInterval");
}

void MinGraph::setBunkaino(std::int32_t value) {
    bunkaino_ = value;
    notify("Bunkaino");
    picGraph_.setScaleWidth(static_cast<float>(value));
}

// Never fails: the field keeps the new value even when the host or the surface refuses.
void MinGraph::setMax(double value) {
    max_ = value;
    try {
        notify("Max");
    } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    }
    try {
        picGraph_.setScaleHeight(TaggedValue(value).toSingle());
    } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    }
}

void MinGraph::setBarXColor(Colour value) {
    barXColor_ = value;
    notify("BarXColor");
}

void MinGraph::setBarYColor(Colour value) {
    barYColor_ = value;
    notify("BarYColor");
}

std::int16_t MinGraph::DrawMode() const {
    return picGraph_.drawMode();
}

void MinGraph::setDrawMode(std::int16_t value) {
    picGraph_.setDrawMode(value);
    notify("DrawMode");
}

std::int16_t MinGraph::DrawStyle() const {
    return picGraph_.drawStyle();
}

void MinGraph::setDrawStyle(std::int16_t value) {
    picGraph_.setDrawStyle(value);
    notify("DrawStyle");
}

std::int16_t MinGraph::DrawWidth() const {
    return picGraph_.drawWidth();
}

void MinGraph::setDrawWidth(std::int16_t value) {
    picGraph_.setDrawWidth(value);
    notify("DrawWidth");
}

Colour MinGraph::BackColor() const {
    return picGraph_.backColor();
}

void MinGraph::setBackColor(Colour value) {
    picGraph_.setBackColor(value);
    notify("BackColor");
}

}  // namespace quorvel
