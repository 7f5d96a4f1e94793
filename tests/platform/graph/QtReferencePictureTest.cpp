#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/ReferencePicture.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

Picture pictureOf(const QImage& image) {
    Picture picture{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            picture.pixels.push_back(image.pixel(x, y) & 0xFFFFFFU);
        }
    }
    return picture;
}

// The reference pictures that the GDI surface is compared with on Windows are the image
// surface's own pictures of the same scenes. With QUORVEL_WRITE_SURFACE_PICTURES=1 this
// test writes them anew instead of comparing (see tests/fixtures/surface-pictures/README).
TEST(QtReferencePictures, TheImageSurfaceDrawsEachSceneAsItsReferencePicture) {
    qtTestApp();
    const char* write = std::getenv("QUORVEL_WRITE_SURFACE_PICTURES");
    const bool writing = write != nullptr && std::string(write) == "1";
    for (const Scene& scene : comparisonScenes()) {
        QtDrawingSurface surface;
        ASSERT_EQ(surface.deviceScale().ratio(), 1.0) << "the reference pictures are drawn at 96 dpi";
        drawScene(surface, scene);
        const Picture ours = pictureOf(surface.picture());
        const std::string path = referencePicturePath(QUORVEL_SOURCE_DIR, scene.name());
        if (writing) {
            writePictureFile(path, ours);
            std::cout << "wrote " << path << '\n';
            continue;
        }
        const Picture reference = readPictureFile(path);
        // The text form itself: a picture read back is the picture written.
        std::istringstream text(picturetext::write(ours));
        EXPECT_EQ(picturetext::read(text), ours);
        EXPECT_EQ(ours, reference) << scene.name();
    }
}

}  // namespace
}  // namespace quorvel::testing
