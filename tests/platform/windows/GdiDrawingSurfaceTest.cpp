#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/ReferencePicture.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

// 0x00BBGGRR as the picture's 0x00RRGGBB.
constexpr std::uint32_t rgb(std::int64_t colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    return ((c & 0xFFU) << 16) | (c & 0xFF00U) | ((c >> 16) & 0xFFU);
}

// A binary raster operation 1 to 16 is the truth table mode - 1: bit 2p + d of it is
// the picture's new bit where the pen's bit is p and the picture's d.
std::uint32_t combine(int mode, std::uint32_t pen, std::uint32_t picture) {
    std::uint32_t result = 0;
    for (unsigned bit = 0; bit < 24; ++bit) {
        const unsigned index = ((pen >> bit) & 1U) * 2 + ((picture >> bit) & 1U);
        result |= ((static_cast<unsigned>(mode - 1) >> index) & 1U) << bit;
    }
    return result;
}

// A series along row 10 of a 40 x 40 picture, over the back colour, in each raster mode
// at pen widths 1 and 2. Its
// points stand every 5 pixels: each pixel of a run between two is combined with the pen
// once, the join pixels too (at width 1; a wider pen's round ends overlap there), and
// the last pixel of a one-pixel line is left out.
TEST(GdiRasterModes, EachModeCombinesThePenWithThePictureByItsFunction) {
    constexpr Colour back = 0x336699;
    constexpr Colour pen = 0x00C0FF;
    for (const int width : {1, 2}) {
        for (int mode = 1; mode <= 16; ++mode) {
            GdiDrawingSurface surface(nullptr);
            surface.place(0, 0, 40, 40);
            surface.setBorderStyle(0);
            surface.setScaleWidth(8);  // 5 pixels a sample
            surface.setScaleHeight(40);
            surface.setBackColor(back);
            surface.clear();
            surface.setDrawWidth(static_cast<std::int16_t>(width));
            surface.setDrawMode(static_cast<std::int16_t>(mode));
            surface.setPenPosition({0.4F, 10});
            surface.seriesTo(1, std::vector<float>(7, 10.0F), pen);  // from x = 2 to x = 35 through 5, 10, ...
            const std::vector<std::uint32_t> picture = surface.picture();
            auto at = [&](int x, int y) { return picture.at(static_cast<std::size_t>(y * 40 + x)); };
            const std::uint32_t overBack = combine(mode, rgb(pen), rgb(back));
            std::vector<std::uint32_t> seen{at(7, 10), at(23, 10), at(7, 14)};
            std::vector<std::uint32_t> expected{overBack, overBack, rgb(back)};
            if (width == 1) {
                seen.insert(seen.end(), {at(10, 10), at(15, 10), at(2, 10), at(35, 10), at(7, 9), at(7, 11)});
                expected.insert(expected.end(), {overBack, overBack, overBack, rgb(back), rgb(back), rgb(back)});
            }
            EXPECT_EQ(seen, expected) << "width " << width << ", mode " << mode;
        }
    }
}

// The same scenes drawn by the image surface of the Linux build, kept as reference
// pictures. The system rasterises lines a little differently (which of two pixels a line
// half way between them takes, round pen ends, the edges of wide pens), so a pixel may
// differ only within a pen width and one pixel of what both pictures drew, and
// only so many of them, so that a line drawn elsewhere or left out is caught.
TEST(GdiReferencePictures, EachSceneDiffersFromTheImageSurfacesOnlyBesideItsLines) {
    for (const Scene& scene : comparisonScenes()) {
        GdiDrawingSurface surface(nullptr);
        drawScene(surface, scene);
        const Picture ours{surface.pictureWidth(), surface.pictureHeight(), surface.picture()};
        const Picture reference = readPictureFile(referencePicturePath(QUORVEL_SOURCE_DIR, scene.name()));
        ASSERT_EQ(std::pair(ours.width, ours.height), std::pair(reference.width, reference.height)) << scene.name();
        // Whether the picture has anything drawn within a pen width and one pixel of (x, y): an
        // end that two lines in an inverting mode leave undrawn reaches that far.
        const int reach = scene.width + 1;
        auto besideALine = [&](const Picture& picture, int x, int y) {
            for (int v = std::max(y - reach, 0); v <= std::min(y + reach, picture.height - 1); ++v) {
                for (int u = std::max(x - reach, 0); u <= std::min(x + reach, picture.width - 1); ++u) {
                    if (picture.at(u, v) != sceneBackground) {
                        return true;
                    }
                }
            }
            return false;
        };
        int drawn = 0;
        int differing = 0;
        std::vector<std::string> strays;
        for (int y = 0; y < ours.height; ++y) {
            for (int x = 0; x < ours.width; ++x) {
                drawn += ours.at(x, y) != sceneBackground || reference.at(x, y) != sceneBackground ? 1 : 0;
                differing += ours.at(x, y) != reference.at(x, y) ? 1 : 0;
                if (ours.at(x, y) != reference.at(x, y) &&
                    (!besideALine(ours, x, y) || !besideALine(reference, x, y))) {
                    strays.push_back(std::to_string(x) + "," + std::to_string(y));
                }
            }
        }
        EXPECT_EQ(strays, std::vector<std::string>{}) << scene.name();
        // Ties and ends make under 2 % of a one-pixel scene, round ends and edges under a
        // quarter of a two-pixel one; a series left out adds more than either margin.
        EXPECT_LE(differing * 100, drawn * (scene.width == 1 ? 3 : 27))
            << scene.name() << ": " << differing << " of " << drawn << " differ";
    }
}

// A tick redraws in the same few colours: the pens are made once. And the system has room
// for some tens of thousands of GDI objects per process: a surface that left a single DC,
// image, font or pen behind would use them all up long before this many had come and gone.
TEST(GdiDrawingSurface, MakesItsPensOnceAndLeavesNoGdiObjectBehind) {
    GdiDrawingSurface scene(nullptr);
    drawScene(scene, {.width = 2});
    const std::size_t pens = scene.pensCreated();
    drawScene(scene, {.width = 2});
    EXPECT_EQ(scene.pensCreated(), pens);

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

}  // namespace
}  // namespace quorvel::testing
