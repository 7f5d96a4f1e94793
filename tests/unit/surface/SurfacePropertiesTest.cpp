#include "platform/SurfaceProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/DeviceScale.h"
#include "support/ErrorKindOf.h"
#include "support/RecordingSurface.h"

namespace quorvel {
namespace {

using testing::RecordingSurface;

// The numbers a surface keeps: scale, appearance, border, raster mode, pen style and width, enabled.
std::vector<double> state(const RecordingSurface& s) {
    return {s.scaleWidth(),       s.scaleHeight(),       double(s.appearance()), double(s.borderStyle()),
            double(s.drawMode()), double(s.drawStyle()), double(s.drawWidth()),  double(s.enabledState())};
}

// What a surface refuses leaves the property as it was and runs no hook.
TEST(SurfaceProperties, ARefusedValueIsAnInvalidValueErrorAndChangesNothing) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::vector<std::pair<const char*, std::function<void(DrawingSurface&)>>> refused{
        {"ScaleWidth 0", [](DrawingSurface& s) { s.setScaleWidth(0.0F); }},
        {"ScaleWidth NaN", [](DrawingSurface& s) { s.setScaleWidth(std::nanf("")); }},
        {"ScaleHeight -inf", [](DrawingSurface& s) { s.setScaleHeight(-inf); }},
        {"ScaleHeight 0", [](DrawingSurface& s) { s.setScaleHeight(0.0F); }},
        {"no Font", [](DrawingSurface& s) { s.setFontObject(nullptr); }},
        {"Appearance 2", [](DrawingSurface& s) { s.setAppearance(2); }},
        {"BorderStyle -1", [](DrawingSurface& s) { s.setBorderStyle(-1); }},
        {"DrawMode 0", [](DrawingSurface& s) { s.setDrawMode(0); }},
        {"DrawMode 17", [](DrawingSurface& s) { s.setDrawMode(17); }},
        {"DrawStyle 7", [](DrawingSurface& s) { s.setDrawStyle(7); }},
        {"DrawWidth 0", [](DrawingSurface& s) { s.setDrawWidth(0); }}};
    for (const auto& [name, write] : refused) {
        RecordingSurface surface;
        EXPECT_EQ(test::errorOf([&, &w = write] { w(surface); }), ErrorKind::InvalidValue) << name;
        EXPECT_EQ(state(surface), (std::vector<double>{125, 85, 1, 1, 13, 0, 1, 1})) << name;
        EXPECT_TRUE(surface.hooks.empty()) << name;
    }
}

TEST(SurfaceProperties, AnAcceptedValueIsKeptAndTheSurfaceHearsOfWhatItMustRedo) {
    RecordingSurface surface;
    auto font = std::make_shared<const FontObject>();
    surface.setScaleWidth(-10.0F);
    surface.setScaleHeight(1e-30F);
    surface.setDrawMode(16);
    surface.setDrawStyle(6);
    surface.setDrawWidth(32767);
    surface.setAppearance(0);
    surface.setBorderStyle(0);
    surface.setEnabledState(false);
    surface.setFontObject(font);
    EXPECT_EQ(state(surface), (std::vector<double>{-10, 1e-30F, 0, 0, 16, 6, 32767, 0}));
    EXPECT_EQ(surface.fontObject(), font);
    EXPECT_EQ(surface.hooks, (std::vector<std::string>{"border", "border", "disabled", "font"}));
}

// Platform pixels to device pixels: halves round up, nothing drawn shrinks to nothing,
// and a ratio that is no positive number counts as 1.
TEST(DeviceScale, LengthsScaleWithTheRatioAndRoundToWholePixels) {
    // A ratio, and 0, 1, 2, 3 and 170 platform pixels in device pixels.
    const std::pair<double, std::vector<int>> cases[] = {{1, {0, 1, 2, 3, 170}},   {1.25, {0, 1, 3, 4, 213}},
                                                         {1.5, {0, 2, 3, 5, 255}}, {2, {0, 2, 4, 6, 340}},
                                                         {0.5, {0, 1, 1, 2, 85}},  {0, {0, 1, 2, 3, 170}},
                                                         {-2, {0, 1, 2, 3, 170}},  {std::nan(""), {0, 1, 2, 3, 170}}};
    for (const auto& [ratio, expected] : cases) {
        const DeviceScale scale(ratio);
        EXPECT_EQ((std::vector{scale.pixels(0), scale.pixels(1), scale.pixels(2), scale.pixels(3), scale.pixels(170)}),
                  expected)
            << "ratio " << ratio;
    }
}

}  // namespace
}  // namespace quorvel
