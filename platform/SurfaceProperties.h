#pragma once

#include <cstdint>

#include "platform/DrawingSurface.h"

namespace quorvel {

// The property state that every drawing surface keeps, with the checks that refuse a
// value: a surface derives from it and draws. A surface that must react to a change
// (its window's enabled state, its font, its border) does so in the hooks, which run
// only for a value the check let through.
class SurfaceProperties : public DrawingSurface {
public:
    [[nodiscard]] float scaleWidth() const final { return scaleWidth_; }
    void setScaleWidth(float width) final;
    [[nodiscard]] float scaleHeight() const final { return scaleHeight_; }
    void setScaleHeight(float height) final;
    [[nodiscard]] LogicalPoint penPosition() const final { return pen_; }
    void setPenPosition(LogicalPoint position) final { pen_ = position; }

    [[nodiscard]] Colour foreColor() const final { return foreColor_; }
    void setForeColor(Colour colour) final { foreColor_ = colour; }
    [[nodiscard]] Colour backColor() const final { return backColor_; }
    void setBackColor(Colour colour) final { backColor_ = colour; }
    [[nodiscard]] bool enabledState() const final { return enabled_; }
    void setEnabledState(bool enabled) final;
    [[nodiscard]] bool persistentImage() const final { return persistentImage_; }
    void setPersistentImage(bool on) final { persistentImage_ = on; }
    [[nodiscard]] FontRef fontObject() const final { return font_; }
    void setFontObject(FontRef font) final;
    [[nodiscard]] std::int16_t appearance() const final { return appearance_; }
    void setAppearance(std::int16_t appearance) final;
    [[nodiscard]] std::int16_t borderStyle() const final { return borderStyle_; }
    void setBorderStyle(std::int16_t style) final;
    [[nodiscard]] std::int16_t drawMode() const final { return drawMode_; }
    void setDrawMode(std::int16_t mode) final;
    [[nodiscard]] std::int16_t drawStyle() const final { return drawStyle_; }
    void setDrawStyle(std::int16_t style) final;
    [[nodiscard]] std::int16_t drawWidth() const final { return drawWidth_; }
    void setDrawWidth(std::int16_t width) final;

protected:
    // The window takes input or not.
    virtual void enabledChanged(bool enabled) = 0;
    // The window's text is to be drawn in `font`; it becomes the font object afterwards.
    virtual void fontChanged(const FontObject& font) = 0;
    // The appearance or the border style changed, and with them the drawing area.
    virtual void borderChanged() = 0;

    // The state, read and moved by the drawing of the surface that derives from this.
    float scaleWidth_ = 125.0F;
    float scaleHeight_ = 85.0F;
    LogicalPoint pen_;
    Colour foreColor_ = buttonTextColour;
    Colour backColor_ = 0;
    bool enabled_ = true;
    bool persistentImage_ = false;
    FontRef font_;
    std::int16_t appearance_ = 1;
    std::int16_t borderStyle_ = 1;
    std::int16_t drawMode_ = 13;
    std::int16_t drawStyle_ = 0;
    std::int16_t drawWidth_ = 1;
};

}  // namespace quorvel
