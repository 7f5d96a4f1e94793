#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/DrawingSurface.h"

namespace quorvel::testing {

// A drawing surface that records what is on it: `ops` lists the drawing since the last
// clear (which starts it anew with a Clear). Property writes follow the real surface's
// rules: scale extents must not be 0, pen and border settings must be in range.
class RecordingSurface final : public DrawingSurface {
public:
    enum class OpKind { Clear, Pen, LineTo, Line };

    struct Op {
        OpKind kind;
        LogicalPoint from;
        LogicalPoint to;
        std::optional<Colour> colour;  // none: the fore colour
    };

    std::vector<Op> ops;
    int refreshes = 0;
    int placeLeft = 0, placeTop = 0, placeWidth = 0, placeHeight = 0;
    InputListener* listener = nullptr;
    // Makes the next scale writes fail, as a surface that refuses every extent.
    bool refuseScale = false;

    void place(int left, int top, int width, int height) override {
        placeLeft = left;
        placeTop = top;
        placeWidth = width;
        placeHeight = height;
    }

    [[nodiscard]] float scaleWidth() const override { return scaleWidth_; }
    void setScaleWidth(float width) override { scaleWidth_ = checkedExtent(width); }
    [[nodiscard]] float scaleHeight() const override { return scaleHeight_; }
    void setScaleHeight(float height) override { scaleHeight_ = checkedExtent(height); }

    [[nodiscard]] LogicalPoint penPosition() const override { return pen_; }
    void setPenPosition(LogicalPoint position) override {
        pen_ = position;
        ops.push_back({OpKind::Pen, position, position, std::nullopt});
    }

    void lineTo(LogicalPoint to, std::optional<Colour> colour) override {
        ops.push_back({OpKind::LineTo, pen_, to, colour});
        pen_ = to;
    }
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override {
        for (std::size_t i = 0; i < ys.size(); ++i) {
            lineTo({firstX + static_cast<float>(i), ys[i]}, colour);
        }
    }
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override {
        ops.push_back({OpKind::Line, from, to, colour});
        pen_ = to;
    }
    void clear() override {
        ops.clear();
        ops.push_back({OpKind::Clear, {}, {}, std::nullopt});
        pen_ = {};
    }
    void refresh() override { ++refreshes; }

    [[nodiscard]] Colour foreColor() const override { return foreColor_; }
    void setForeColor(Colour colour) override { foreColor_ = colour; }
    [[nodiscard]] Colour backColor() const override { return backColor_; }
    void setBackColor(Colour colour) override { backColor_ = colour; }
    [[nodiscard]] bool enabledState() const override { return enabled_; }
    void setEnabledState(bool enabled) override { enabled_ = enabled; }
    [[nodiscard]] bool persistentImage() const override { return persistent_; }
    void setPersistentImage(bool on) override { persistent_ = on; }
    [[nodiscard]] FontRef fontObject() const override { return font_; }
    void setFontObject(FontRef font) override {
        if (!font) {
            refuse("Font");
        }
        font_ = std::move(font);
    }
    [[nodiscard]] std::int16_t appearance() const override { return appearance_; }
    void setAppearance(std::int16_t value) override { appearance_ = checked("Appearance", value, 0, 1); }
    [[nodiscard]] std::int16_t borderStyle() const override { return borderStyle_; }
    void setBorderStyle(std::int16_t value) override { borderStyle_ = checked("BorderStyle", value, 0, 1); }
    [[nodiscard]] std::int16_t drawMode() const override { return drawMode_; }
    void setDrawMode(std::int16_t value) override { drawMode_ = checked("DrawMode", value, 1, 16); }
    [[nodiscard]] std::int16_t drawStyle() const override { return drawStyle_; }
    void setDrawStyle(std::int16_t value) override { drawStyle_ = checked("DrawStyle", value, 0, 6); }
    [[nodiscard]] std::int16_t drawWidth() const override { return drawWidth_; }
    void setDrawWidth(std::int16_t value) override { drawWidth_ = checked("DrawWidth", value, 1, 32767); }

    void setInputListener(InputListener* inputListener) override { listener = inputListener; }

    // The recorded operations of one kind.
    [[nodiscard]] std::vector<Op> opsOf(OpKind kind) const {
        std::vector<Op> result;
        for (const Op& op : ops) {
            if (op.kind == kind) {
                result.push_back(op);
            }
        }
        return result;
    }

private:
    [[noreturn]] static void refuse(const std::string& what) {
        throw RuntimeError(ErrorKind::InvalidValue, "invalid value for " + what);
    }
    static std::int16_t checked(const std::string& what, std::int16_t value, int low, int high) {
        if (value < low || value > high) {
            refuse(what);
        }
        return value;
    }
    [[nodiscard]] float checkedExtent(float extent) const {
        if (refuseScale || extent == 0.0F) {
            refuse("a scale extent");
        }
        return extent;
    }

    float scaleWidth_ = 1.0F;
    float scaleHeight_ = 1.0F;
    LogicalPoint pen_;
    Colour foreColor_ = buttonTextColour;
    Colour backColor_ = 0;
    bool enabled_ = true;
    bool persistent_ = false;
    FontRef font_ = std::make_shared<const FontObject>(FontObject{.name = "Sans", .size = 8.25});
    std::int16_t appearance_ = 1;
    std::int16_t borderStyle_ = 1;
    std::int16_t drawMode_ = 13;
    std::int16_t drawStyle_ = 0;
    std::int16_t drawWidth_ = 1;
};

}  // namespace quorvel::testing
