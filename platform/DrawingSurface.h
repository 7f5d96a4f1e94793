#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Colour.h"
#include "platform/FontObject.h"
#include "platform/InputListener.h"

namespace quorvel {

struct LogicalPoint {
    float x = 0.0F;
    float y = 0.0F;

    friend bool operator==(const LogicalPoint&, const LogicalPoint&) = default;
};

// A picture box: a drawing area with a user-defined logical scale whose origin is the
// top-left corner inside the border, x to the right and y downwards. Lines are drawn
// with the current pen (width, style, raster mode) and clipped to the drawing area.
// A property write that the surface refuses raises a RuntimeError and changes nothing.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Position and outer size inside the control, in pixels.
    virtual void place(int left, int top, int width, int height) = 0;

    // Extents of the logical coordinate system over the drawing area.
    [[nodiscard]] virtual float scaleWidth() const = 0;
    virtual void setScaleWidth(float width) = 0;
    [[nodiscard]] virtual float scaleHeight() const = 0;
    virtual void setScaleHeight(float height) = 0;

    [[nodiscard]] virtual LogicalPoint penPosition() const = 0;
    virtual void setPenPosition(LogicalPoint position) = 0;

    // A line from the pen position to `to` in `colour`, or in the fore colour when none
    // is given; the pen then stands at `to`.
    virtual void lineTo(LogicalPoint to, std::optional<Colour> colour) = 0;
    // The same as lineTo to (firstX + i, ys[i]) for each i in turn, in one call: a series
    // of samples one logical unit apart.
    virtual void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) = 0;
    // A line between two points; the pen then stands at `to`.
    virtual void line(LogicalPoint from, LogicalPoint to, Colour colour) = 0;
    // Fills the drawing area with the back colour and sets the pen to (0, 0).
    virtual void clear() = 0;
    // Shows what was drawn on the screen.
    virtual void refresh() = 0;

    [[nodiscard]] virtual Colour foreColor() const = 0;
    virtual void setForeColor(Colour colour) = 0;
    [[nodiscard]] virtual Colour backColor() const = 0;
    virtual void setBackColor(Colour colour) = 0;
    // Whether the surface takes mouse and keyboard input.
    [[nodiscard]] virtual bool enabledState() const = 0;
    virtual void setEnabledState(bool enabled) = 0;
    // Whether drawing goes to an image that the surface repaints by itself.
    [[nodiscard]] virtual bool persistentImage() const = 0;
    virtual void setPersistentImage(bool on) = 0;
    [[nodiscard]] virtual FontRef fontObject() const = 0;
    virtual void setFontObject(FontRef font) = 0;
    // 0 flat, 1 three-dimensional.
    [[nodiscard]] virtual std::int16_t appearance() const = 0;
    virtual void setAppearance(std::int16_t appearance) = 0;
    // 0 none, 1 fixed single; the border lies inside the surface.
    [[nodiscard]] virtual std::int16_t borderStyle() const = 0;
    virtual void setBorderStyle(std::int16_t style) = 0;
    // Binary raster operation 1 to 16; 13 copies the pen.
    [[nodiscard]] virtual std::int16_t drawMode() const = 0;
    virtual void setDrawMode(std::int16_t mode) = 0;
    // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible, 6 inside solid.
    [[nodiscard]] virtual std::int16_t drawStyle() const = 0;
    virtual void setDrawStyle(std::int16_t style) = 0;
    // Pen width in pixels, at least 1.
    [[nodiscard]] virtual std::int16_t drawWidth() const = 0;
    virtual void setDrawWidth(std::int16_t width) = 0;

    // Where the surface's input events go; null for nowhere.
    virtual void setInputListener(InputListener* listener) = 0;
};

}  // namespace quorvel
