#include "platform/SurfaceProperties.h"

#include <cmath>
#include <utility>

#include "platform/PropertyRange.h"

namespace quorvel {

void SurfaceProperties::setScaleWidth(float width) {
    if (width == 0.0F || !std::isfinite(width)) {
        refuseProperty("ScaleWidth");
    }
    scaleWidth_ = width;
}

void SurfaceProperties::setScaleHeight(float height) {
    if (height == 0.0F || !std::isfinite(height)) {
        refuseProperty("ScaleHeight");
    }
    scaleHeight_ = height;
}

void SurfaceProperties::setEnabledState(bool enabled) {
    enabled_ = enabled;
    enabledChanged(enabled);
}

void SurfaceProperties::setFontObject(FontRef font) {
    if (!font) {
        refuseProperty("Font");
    }
    fontChanged(*font);
    font_ = std::move(font);
}

void SurfaceProperties::setAppearance(std::int16_t appearance) {
    appearance_ = checkedRange("Appearance", appearance, 0, 1);
    borderChanged();
}

void SurfaceProperties::setBorderStyle(std::int16_t style) {
    borderStyle_ = checkedRange("BorderStyle", style, 0, 1);
    borderChanged();
}

void SurfaceProperties::setDrawMode(std::int16_t mode) {
    drawMode_ = checkedRange("DrawMode", mode, 1, 16);
}

void SurfaceProperties::setDrawStyle(std::int16_t style) {
    drawStyle_ = checkedRange("DrawStyle", style, 0, 6);
}

void SurfaceProperties::setDrawWidth(std::int16_t width) {
    drawWidth_ = checkedRange("DrawWidth", width, 1, 32767);
}

}  // namespace quorvel
