#include <gtest/gtest.h>

#include <QPalette>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/graph/RedrawWorkload.h"
#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"
#include "support/ReferencePicture.h"
#include "support/SurfaceScenes.h"

// The image surface: its pictures against the reference pictures, its features one by one,
// and its drawing at 100 % and 200 % on two offscreen screens side by side.
namespace quorvel::testing {
namespace {

constexpr QRgb black = 0x000000, blue = 0x0000FF;  // as pixels
enum Screen { left = 0, right = 1 };

// Two offscreen screens side by side: the left one at 100 %, the right one at 200 %.
QApplication& twoScreenApp() {
    [[maybe_unused]] static const bool configured =
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" QUORVEL_SOURCE_DIR "/tests/fixtures/screens/two-screens.json") &&
        qputenv("QT_SCREEN_SCALE_FACTORS", "left=1;right=2");
    return qtTestApp();
}

// A window filled by a surface and its graph, shown on one of the screens.
struct Window {
    explicit Window(Screen screen) {
        window.setScreen(QGuiApplication::screens().at(screen));
        window.resize(170, 200);
        window.show();
        moveTo(screen);
    }
    void moveTo(Screen screen) {
        window.move(QGuiApplication::screens().at(screen)->geometry().topLeft() + QPoint(10, 10));
        const double ratio = QGuiApplication::screens().at(screen)->devicePixelRatio();
        waitUntil([&] { return surface->deviceScale().ratio() == ratio; });
    }
    [[nodiscard]] const QImage& picture() const { return surface->picture(); }

    QApplication& app = twoScreenApp();
    QWidget window;
    QtDrawingSurface* surface = new QtDrawingSurface(&window);  // owned by the window
    RecordingHost host;
    MinGraph graph{*surface, host};
};

// Lengths of the runs of `colour` along row `y` that have `border` on both sides.
std::vector<int> enclosedRuns(const QImage& q, int y, QRgb colour, QRgb border) {
    std::vector<int> runs;
    for (int i = 1, end = 1; i < q.width(); i = std::max(i + 1, end)) {
        for (end = i; end < q.width() && rgbAt(q, end, y) == colour;) {
            ++end;
        }
        if (end > i && rgbAt(q, i - 1, y) == border && end < q.width() && rgbAt(q, end, y) == border) {
            runs.push_back(end - i);
        }
    }
    return runs;
}

// The main window's redraw (grid, sum, green and red line, all 2 pixels wide) at 200 %
// is drawn at the device resolution: the grid 4 device pixels wide, and no enlarged 100 %
// picture. A window that moves to the 200 % screen and back remakes its image at each
// change, holding the old picture enlarged or reduced (never blank); the next redraw is
// the same as one made on that screen from the start.
TEST(SurfaceAtRatioTwo, LinesAreDrawnAtTheDeviceResolutionAlsoAfterAMoveThereAndBack) {
    Window moving(left), atTwo(right);
    const auto series = bench::jaggedHistories(60);
    for (Window* w : {&moving, &atTwo}) {
        bench::setUpGraph(w->graph, 60, 10);
        bench::redraw(w->graph, series);
    }
    ASSERT_EQ(atTwo.surface->deviceScale().ratio(), 2.0);
    EXPECT_EQ(atTwo.surface->drawingArea(), QRect(4, 4, 332, 392));
    const QImage& p = atTwo.picture();
    std::vector<int> bars;  // along every row, and every row of the picture turned upright
    for (const QImage& q : {p, p.transformed(QTransform().rotate(90))}) {
        for (int y = 0; y < q.height(); ++y) {
            const auto runs = enclosedRuns(q, y, blue, black);
            bars.insert(bars.end(), runs.begin(), runs.end());
        }
    }
    EXPECT_GT(bars.size(), 1000U);
    EXPECT_EQ(std::count(bars.begin(), bars.end(), 4), static_cast<std::ptrdiff_t>(bars.size()));
    EXPECT_NE(p, p.scaled(p.size() / 2).scaled(p.size())) << "an enlarged picture";
    // On the screen inside the border, the image one to one.
    const QImage shown = atTwo.surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.size(), QSize(340, 400));
    EXPECT_EQ(shown.copy(atTwo.surface->drawingArea()), p.convertToFormat(QImage::Format_RGB32));

    const QImage before = moving.picture().copy();
    moving.moveTo(right);
    ASSERT_EQ(moving.surface->deviceScale().ratio(), 2.0);
    const QImage& enlarged = moving.picture();
    EXPECT_EQ(std::pair(enlarged.size(), moving.surface->drawingArea()),
              std::pair(QSize(332, 392), QRect(4, 4, 332, 392)));
    EXPECT_EQ(enlarged, before.scaled(before.size() * 2));
    bench::redraw(moving.graph, series);
    EXPECT_EQ(moving.picture(), p);
    moving.moveTo(left);
    EXPECT_EQ(moving.picture().size(), before.size());
    bench::redraw(moving.graph, series);
    EXPECT_EQ(moving.picture(), before);
}

// A dotted 1-pixel pen at 200 %, in the system colour 15 (the palette's button face): dots
// of 6 device pixels.
TEST(SurfaceAtRatioTwo, DashesScaleWithThePen) {
    Window w(right);
    QPalette palette = w.surface->palette();
    palette.setColor(QPalette::Button, QColor(0x654321));
    w.surface->setPalette(palette);
    plain(*w.surface, 340, 400, 1, 13);  // a logical unit to each device pixel
    w.surface->setDrawStyle(2);
    w.surface->line({0, 100}, {340, 100}, systemColour(15));
    EXPECT_EQ(enclosedRuns(w.picture(), 99, 0x654321, sceneBackground), std::vector<int>(27, 6));
}

Picture pictureOf(const QImage& image) {
    Picture picture{image.width(), image.height(), {}};
    for (int i = 0; i < image.width() * image.height(); ++i) {
        picture.pixels.push_back(rgbAt(image, i % image.width(), i / image.width()));
    }
    return picture;
}

// The reference pictures that the GDI surface is compared with on Windows are the image
// surface's own pictures of the same scenes. With QUORVEL_WRITE_SURFACE_PICTURES=1 this
// test writes them anew instead of comparing (see tests/fixtures/surface-pictures/README).
TEST(QtReferencePictures, TheImageSurfaceDrawsEachSceneAsItsReferencePicture) {
    twoScreenApp();
    const bool writing = qEnvironmentVariable("QUORVEL_WRITE_SURFACE_PICTURES") == "1";
    for (const Scene& scene : comparisonScenes()) {
        QtDrawingSurface surface;  // at 96 dpi, as the reference pictures are drawn
        drawScene(surface, scene);
        const Picture ours = pictureOf(surface.picture());
        const std::string path = referencePicturePath(QUORVEL_SOURCE_DIR, scene.name());
        if (writing) {
            ASSERT_TRUE(std::ofstream(path, std::ios::binary) << picturetext::write(ours)) << path;
        } else {
            EXPECT_EQ(ours, readPictureFile(path)) << scene.name();
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
