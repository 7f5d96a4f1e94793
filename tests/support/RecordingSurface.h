#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/DrawingSurface.h"

namespace quorvel::testing {

// A drawing surface that records what is on it: `ops` lists the drawing since the last
// clear (which starts it anew with a Clear). As the real surface does, it refuses a scale
// extent of 0.
class RecordingSurface final : public DrawingSurface {
public:
    enum class OpKind { Clear, Pen, LineTo, Line };
    struct Op {
        OpKind kind;
        LogicalPoint from, to;
        std::optional<Colour> colour;  // none: the fore colour
    };

    std::vector<Op> ops;
    int placeWidth = 0, placeHeight = 0;
    InputListener* listener = nullptr;

    void place(int /*left*/, int /*top*/, int width, int height) override {
        placeWidth = width;
        placeHeight = height;
    }
    [[nodiscard]] float scaleWidth() const override { return scaleWidth_; }
    void setScaleWidth(float width) override { scaleWidth_ = extent(width); }
    [[nodiscard]] float scaleHeight() const override { return scaleHeight_; }
    void setScaleHeight(float height) override { scaleHeight_ = extent(height); }

    [[nodiscard]] LogicalPoint penPosition() const override { return pen_; }
    void setPenPosition(LogicalPoint to) override { record(OpKind::Pen, to, to, std::nullopt); }
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override { record(OpKind::LineTo, pen_, to, colour); }
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override {
        for (const float y : ys) {
            lineTo({firstX++, y}, colour);
        }
    }
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override { record(OpKind::Line, from, to, colour); }
    void clear() override {
        ops.clear();
        record(OpKind::Clear, {}, {}, std::nullopt);
    }
    void refresh() override {}

    [[nodiscard]] Colour foreColor() const override { return foreColor_; }
    void setForeColor(Colour colour) override { foreColor_ = colour; }
    [[nodiscard]] Colour backColor() const override { return backColor_; }
    void setBackColor(Colour colour) override { backColor_ = colour; }
    [[nodiscard]] bool enabledState() const override { return enabled_; }
    void setEnabledState(bool enabled) override { enabled_ = enabled; }
    [[nodiscard]] bool persistentImage() const override { return persistent_; }
    void setPersistentImage(bool on) override { persistent_ = on; }
    [[nodiscard]] FontRef fontObject() const override { return font_; }
    void setFontObject(FontRef font) override { font_ = std::move(font); }
    [[nodiscard]] std::int16_t appearance() const override { return appearance_; }
    void setAppearance(std::int16_t value) override { appearance_ = value; }
    [[nodiscard]] std::int16_t borderStyle() const override { return borderStyle_; }
    void setBorderStyle(std::int16_t value) override { borderStyle_ = value; }
    [[nodiscard]] std::int16_t drawMode() const override { return drawMode_; }
    void setDrawMode(std::int16_t value) override { drawMode_ = value; }
    [[nodiscard]] std::int16_t drawStyle() const override { return drawStyle_; }
    void setDrawStyle(std::int16_t value) override { drawStyle_ = value; }
    [[nodiscard]] std::int16_t drawWidth() const override { return drawWidth_; }
    void setDrawWidth(std::int16_t value) override { drawWidth_ = value; }
    void setInputListener(InputListener* inputListener) override { listener = inputListener; }

    [[nodiscard]] std::vector<Op> opsOf(OpKind kind) const {
        std::vector<Op> result;
        std::ranges::copy_if(ops, std::back_inserter(result), [kind](const Op& op) { return op.kind == kind; });
        return result;
    }

private:
    static RuntimeError refused() { return {ErrorKind::InvalidValue, "invalid property value"}; }
    [[nodiscard]] float extent(float value) const { return value == 0.0F ? throw refused() : value; }
    void record(OpKind kind, LogicalPoint from, LogicalPoint to, std::optional<Colour> colour) {
        ops.push_back({kind, from, to, colour});
        pen_ = to;
    }

    float scaleWidth_ = 1.0F, scaleHeight_ = 1.0F;
    LogicalPoint pen_;
    Colour foreColor_ = buttonTextColour, backColor_ = 0;
    bool enabled_ = true, persistent_ = false;
    FontRef font_ = std::make_shared<const FontObject>(FontObject{.name = "Sans", .size = 8.25});
    std::int16_t appearance_ = 1, borderStyle_ = 1, drawMode_ = 13, drawStyle_ = 0, drawWidth_ = 1;
};

// Logs each input event with its arguments ("MouseDown 1 0 5 6;"); with `fail` set, a
// press throws after it is logged.
struct LoggingListener final : InputListener {
    std::ostringstream log;
    bool fail = false;
    void note(const char* name, auto... args) { ((log << name), ..., (log << ' ' << args)) << ';'; }
    void Click() override { note("Click"); }
    void DblClick() override { note("DblClick"); }
    void KeyDown(std::int16_t& code, std::int16_t& shift) override { note("KeyDown", code, shift); }
    void KeyPress(std::int16_t& ascii) override { note("KeyPress", ascii); }
    void KeyUp(std::int16_t& code, std::int16_t& shift) override { note("KeyUp", code, shift); }
    void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override { note("MouseMove", b, s, x, y); }
    void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override { note("MouseUp", b, s, x, y); }
    void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        note("MouseDown", b, s, x, y);
        if (fail) {
            throw std::runtime_error("from a listener");
        }
    }
};

}  // namespace quorvel::testing
