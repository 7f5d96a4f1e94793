#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "support/ReferencePicture.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

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
        int strays = 0;  // differing pixels away from the lines of either picture
        for (int y = 0; y < ours.height; ++y) {
            for (int x = 0; x < ours.width; ++x) {
                const bool differs = ours.at(x, y) != reference.at(x, y);
                drawn += ours.at(x, y) != sceneBackground || reference.at(x, y) != sceneBackground ? 1 : 0;
                differing += differs ? 1 : 0;
                strays += differs && (!besideALine(ours, x, y) || !besideALine(reference, x, y)) ? 1 : 0;
            }
        }
        EXPECT_EQ(strays, 0) << scene.name();
        // Ties and ends make under 2 % of a one-pixel scene, round ends and edges under a
        // quarter of a two-pixel one; a series left out adds more than either margin.
        EXPECT_LE(differing * 100, drawn * (scene.width == 1 ? 3 : 27))
            << scene.name() << ": " << differing << " of " << drawn << " differ";
    }
}

// The system has room for some tens of thousands of GDI objects per process: a surface
// that left a single DC, image, font or pen behind would use them all up long before this
// many had come and gone.
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

}  // namespace
}  // namespace quorvel::testing
