#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"
#include "platform/windows/GdiFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/RuntimeError.h"
#include "support/ErrorKindOf.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

std::uint32_t rgbOf(COLORREF colour) {
    return ((colour & 0xFFU) << 16) | (colour & 0xFF00U) | ((colour >> 16) & 0xFFU);
}

struct Pixels {
    const GdiDrawingSurface& surface;
    std::vector<std::uint32_t> data = surface.picture();

    [[nodiscard]] std::uint32_t at(int x, int y) const {
        return data.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.pictureWidth()) +
                       static_cast<std::size_t>(x));
    }
    [[nodiscard]] int countOf(std::uint32_t colour) const {
        return static_cast<int>(std::count(data.begin(), data.end(), colour));
    }
};

// The pixel row or column of a logical coordinate, as the surface maps it.
int pixelOf(double logical, double pixels, double extent) {
    return static_cast<int>(std::floor(logical * pixels / extent + 0.5));
}

TEST(GdiDrawingSurface, DrawsTheGridAndThreeSeriesInsideItsBorder) {
    GdiDrawingSurface surface(nullptr);
    drawScene(surface, {.width = 2});
    ASSERT_EQ(surface.pictureWidth(), 166);  // 170 less a border two pixels deep
    ASSERT_EQ(surface.pictureHeight(), 196);
    const Pixels pixels{surface};
    // Bars of every 1000 up to 9000, from the bottom edge; upright bars every 3 samples
    // from the right edge.
    for (int value = 0; value <= 9000; value += 1000) {
        const int row = std::min(pixelOf(9000 - value, 196, 9000), 195);
        int blue = 0;
        for (int x = 0; x < 166; ++x) {
            blue += pixels.at(x, row) == 0x0000FF ? 1 : 0;
        }
        EXPECT_GT(blue, 100) << "bar at " << value;
    }
    for (const int sample : {1, 4, 7}) {
        const int column = pixelOf(sample, 166, 10);
        int green = 0;
        for (int y = 0; y < 196; ++y) {
            green += pixels.at(column, y) == 0x00FF00 ? 1 : 0;
        }
        EXPECT_GT(green, 120) << "bar at sample " << sample;
    }
    for (const std::uint32_t series : {0xFFC000U, 0x40FF40U, 0xE02020U}) {
        EXPECT_GT(pixels.countOf(series), 150) << std::hex << series;
    }
}

// A colour with the top bit set is the system colour of its index; one the system does
// not know is black.
TEST(GdiDrawingSurface, TopBitColoursAreTheSystemColours) {
    GdiDrawingSurface surface(nullptr);
    surface.place(0, 0, 40, 40);
    surface.setBorderStyle(0);
    surface.setScaleWidth(40);
    surface.setScaleHeight(40);
    for (const int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT, 0x7F}) {
        surface.setBackColor(systemColour(index));
        surface.clear();
        surface.setForeColor(systemColour(index == COLOR_BTNTEXT ? COLOR_WINDOW : COLOR_BTNTEXT));
        surface.setPenPosition({5, 20});
        surface.lineTo({30, 20}, std::nullopt);
        const Pixels pixels{surface};
        const std::uint32_t expected = index == 0x7F ? 0 : rgbOf(::GetSysColor(index));
        EXPECT_EQ(pixels.at(2, 2), expected) << "back colour, index " << index;
        EXPECT_EQ(pixels.at(10, 20), rgbOf(::GetSysColor(index == COLOR_BTNTEXT ? COLOR_WINDOW : COLOR_BTNTEXT)))
            << "fore colour, index " << index;
    }
    EXPECT_EQ(surface.foreColor(), systemColour(COLOR_BTNTEXT));
}

TEST(GdiDrawingSurface, RefusedPropertiesRaiseInvalidValueAndKeepTheirValue) {
    GdiDrawingSurface surface(nullptr);
    const std::vector<std::pair<std::string, std::function<void()>>> writes{
        {"DrawMode 0", [&] { surface.setDrawMode(0); }},
        {"DrawMode 17", [&] { surface.setDrawMode(17); }},
        {"DrawStyle 7", [&] { surface.setDrawStyle(7); }},
        {"DrawStyle -1", [&] { surface.setDrawStyle(-1); }},
        {"DrawWidth 0", [&] { surface.setDrawWidth(0); }},
        {"Appearance 2", [&] { surface.setAppearance(2); }},
        {"BorderStyle 2", [&] { surface.setBorderStyle(2); }},
        {"ScaleWidth 0", [&] { surface.setScaleWidth(0); }},
        {"ScaleHeight inf", [&] { surface.setScaleHeight(INFINITY); }},
        {"Font null", [&] { surface.setFontObject(nullptr); }},
    };
    for (const auto& [name, write] : writes) {
        EXPECT_EQ(test::errorOf(write), ErrorKind::InvalidValue) << name;
    }
    EXPECT_EQ((std::vector<int>{surface.drawMode(), surface.drawStyle(), surface.drawWidth(), surface.appearance(),
                                surface.borderStyle()}),
              (std::vector<int>{13, 0, 1, 1, 1}));
    EXPECT_EQ(surface.scaleWidth(), 125.0F);
    EXPECT_EQ(surface.scaleHeight(), 85.0F);
    EXPECT_NE(surface.fontObject(), nullptr);
}

// A tick redraws in the same few colours: the pens are made once.
TEST(GdiDrawingSurface, ARedrawInTheSameColoursMakesNoPen) {
    GdiDrawingSurface surface(nullptr);
    drawScene(surface, {.width = 2});
    const std::size_t first = surface.pensCreated();
    EXPECT_GE(first, 5U);  // two bar colours, three series
    drawScene(surface, {.width = 2});
    EXPECT_EQ(surface.pensCreated(), first);
}

// The system has room for some tens of thousands of GDI objects per process. A surface
// that left a single DC, image, font or pen behind would use them all up long before
// this many had come and gone, and the next one could no longer be made.
TEST(GdiDrawingSurface, LeavesNoGdiObjectBehind) {
    constexpr int surfaces = 70000;
    int drawn = 0;
    for (int i = 0; i < surfaces; ++i) {
        GdiDrawingSurface surface(nullptr);
        surface.setBorderStyle(0);
        surface.place(0, 0, 12, 12);
        surface.setFontObject(std::make_shared<const FontObject>(FontObject{.name = "Tahoma", .size = 9.0}));
        surface.setScaleWidth(12);
        surface.setScaleHeight(12);
        for (Colour c = 0; c < 10; ++c) {  // more colours than pens are kept
            surface.line({0, 5}, {11, 5}, c + 1);
        }
        drawn += surface.picture().at(5 * 12 + 5) == 0x0A0000 ? 1 : 0;
    }
    EXPECT_EQ(drawn, surfaces);
}

// The font object round trip through the system's logical font: the saved font of the
// main window's graph, at two screen resolutions, and a face name longer than the
// system keeps.
TEST(GdiFont, AFontObjectSurvivesTheLogicalFont) {
    const FontObject saved{
        .name = "\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", .size = 9.0, .weight = 400, .charset = 128};
    for (const int dpi : {96, 144}) {
        const LOGFONTW logFont = win::logFontOf(saved, dpi);
        EXPECT_EQ(logFont.lfHeight, -9 * dpi / 72);
        EXPECT_EQ(win::fontObjectOf(logFont, dpi), saved) << dpi;
    }
    const std::string longName(40, 'x');
    EXPECT_EQ(win::fontObjectOf(win::logFontOf({.name = longName}, 96), 96).name, std::string(31, 'x'));
}

}  // namespace
}  // namespace quorvel::testing
