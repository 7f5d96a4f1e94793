#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QTransform>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/graph/RedrawWorkload.h"
#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"
#include "support/RecordingSurface.h"
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
    // Without a border, 100 x 100 pixels for `width` x `height` units, cleared.
    void plain(float width, float height) {
        surface->setBorderStyle(0);
        surface->place(0, 0, 100, 100);
        surface->setScaleWidth(width);
        surface->setScaleHeight(height);
        surface->clear();
    }
    [[nodiscard]] const QImage& picture() const { return surface->picture(); }

    QApplication& app = twoScreenApp();
    QWidget window;
    QtDrawingSurface* surface = new QtDrawingSurface(&window);  // owned by the window
    RecordingHost host;
    MinGraph graph{*surface, host};
};

// Lengths of the runs of `colour` along a line of pixels that have `border` on both sides.
std::vector<int> enclosedRuns(int count, const std::function<QRgb(int)>& at, QRgb colour, QRgb border) {
    std::vector<int> runs;
    for (int i = 1; i < count; ++i) {
        if (at(i) != colour || at(i - 1) == colour) {
            continue;
        }
        int end = i;
        while (end < count && at(end) == colour) {
            ++end;
        }
        if (at(i - 1) == border && end < count && at(end) == border) {
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
    Window moving(left), atTwo(right), atOne(left);
    const auto series = bench::jaggedHistories(60);
    for (Window* w : {&moving, &atTwo, &atOne}) {
        bench::setUpGraph(w->graph, 60, 10);
        bench::redraw(w->graph, series);
    }
    ASSERT_EQ(atTwo.surface->deviceScale().ratio(), 2.0);
    EXPECT_EQ(atTwo.surface->drawingArea(), QRect(4, 4, 332, 392));
    const QImage& p = atTwo.picture();
    std::vector<int> bars;  // along every row, and every row of the picture turned upright
    for (const QImage& q : {p, p.transformed(QTransform().rotate(90))}) {
        for (int y = 0; y < q.height(); ++y) {
            const auto runs = enclosedRuns(
                q.width(), [&](int x) { return rgbAt(q, x, y); }, blue, black);
            bars.insert(bars.end(), runs.begin(), runs.end());
        }
    }
    EXPECT_GT(bars.size(), 1000U);
    EXPECT_EQ(std::count(bars.begin(), bars.end(), 4), static_cast<std::ptrdiff_t>(bars.size()));
    EXPECT_NE(p, p.scaled(p.size() / 2).scaled(p.size())) << "an enlarged picture";
    // On the screen: the border two device pixels a line, then the image one to one.
    const QImage shown = atTwo.surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPalette& palette = atTwo.surface->palette();
    EXPECT_EQ(shown.size(), QSize(340, 400));
    EXPECT_EQ((std::vector{shown.pixel(1, 200), shown.pixel(2, 200), shown.pixel(3, 200)}),
              (std::vector{palette.color(QPalette::Dark).rgb(), palette.color(QPalette::Shadow).rgb(),
                           palette.color(QPalette::Shadow).rgb()}));
    EXPECT_EQ(shown.copy(atTwo.surface->drawingArea()), p.convertToFormat(QImage::Format_RGB32));

    const QImage before = moving.picture().copy();
    ASSERT_EQ(before, atOne.picture());
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

// A logical point between two pixels lands on the nearer one, at either ratio: 1-pixel
// vertical lines on a 100 x 100 surface without a border.
TEST(SurfaceMapping, APointBetweenTwoPixelsLandsOnTheNearest) {
    // A screen, the scale's width, the line's x, and its rightmost device pixel column.
    const std::tuple<Screen, float, float, int> cases[] = {
        {left, 100, 10.3F, 10},  {left, 100, 10.7F, 11},  {left, 7, 2, 29},  {left, 7, 4, 57},  {right, 100, 10.2F, 20},
        {right, 100, 10.3F, 21}, {right, 100, 10.8F, 22}, {right, 7, 2, 57}, {right, 7, 4, 114}};
    for (const auto& [screen, scaleWidth, x, column] : cases) {
        Window w(screen);
        w.plain(scaleWidth, 100);
        w.surface->line({x, 0}, {x, 100}, 0xFFFFFF);
        const QImage& p = w.picture();
        int lit = -1;
        for (int i = 0; i < p.width(); ++i) {
            lit = rgbAt(p, i, p.height() / 2) != 0 ? i : lit;
        }
        EXPECT_EQ(lit, column) << "x " << x << " of " << scaleWidth << " on screen " << screen;
    }
}

// A dotted 1-pixel pen at 200 %: dots and gaps of 6 device pixels, 2 pixels thick, and
// every pixel combined once, so that XOR draws what a copy pen draws.
TEST(SurfaceAtRatioTwo, DashesScaleWithThePenAndCombineEachPixelOnce) {
    Window w(right);
    w.plain(200, 200);
    w.surface->setDrawStyle(2);
    w.surface->line({0, 100}, {200, 100}, 0xFFFFFF);
    const QImage& p = w.picture();
    const std::vector<int> dots = enclosedRuns(
        p.width(), [&](int x) { return rgbAt(p, x, 99); }, 0xFFFFFF, 0);
    const std::vector<int> gaps = enclosedRuns(
        p.width(), [&](int x) { return rgbAt(p, x, 100); }, 0, 0xFFFFFF);
    EXPECT_EQ(dots, std::vector<int>(16, 6));
    EXPECT_EQ(gaps, std::vector<int>(gaps.size(), 6));
    EXPECT_EQ((std::vector{rgbAt(p, 3, 98), rgbAt(p, 3, 101)}), (std::vector<QRgb>{0, 0}));

    // In XOR onto black a pixel combined twice would turn black again.
    std::vector<QImage> pictures;
    for (const int mode : {13, 7}) {
        w.surface->setDrawMode(static_cast<std::int16_t>(mode));
        w.surface->clear();
        w.surface->line({3, 190}, {100, 20}, 0xFFFFFF);  // steep, then shallow
        w.surface->line({120, 190}, {195, 150}, 0xFFFFFF);
        pictures.push_back(p.copy());
    }
    EXPECT_EQ(pictures[0], pictures[1]);
}

// A graph control on a real 170x200 surface with the main window's pen: a three-
// dimensional border, 2-pixel lines, Max 9000 over 10 samples, black back colour.
class SurfaceTest : public ::testing::Test, public Window {
protected:
    SurfaceTest() : Window(left) {
        graph.setDrawWidth(2);
        graph.setBunkaino(10);
        graph.setMax(9000);
        graph.resize(170, 200);
    }
    [[nodiscard]] QRgb at(int x, int y) const { return rgbAt(picture(), x, y); }
    // The series drawn with every value at `value`.
    void drawFlat(double value, Colour colour) { graph.DrawGraph(TaggedValue::Array(10, TaggedValue(value)), colour); }
    // Sample 5 at value 4500: the pixel (83, 98) of the drawing area that starts at (2, 2).
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {}) {
        QMouseEvent event(type, QPointF(85, 100), surface->mapToGlobal(QPointF(85, 100)), button, held, keys);
        QApplication::sendEvent(surface, &event);
    }
};

TEST_F(SurfaceTest, SystemColoursAndMinusOneResolveThroughThePalette) {
    QPalette palette = surface->palette();
    palette.setColor(QPalette::ButtonText, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::Button, QColor(0x65, 0x43, 0x21));
    surface->setPalette(palette);
    drawFlat(4500, -1);
    graph.setForeColor(0x00FF00);
    drawFlat(1000, -1);
    drawFlat(6000, systemColour(15));
    EXPECT_EQ((std::vector{at(40, 98), at(40, 174), at(40, 65)}), (std::vector<QRgb>{0x123456, 0x00FF00, 0x654321}));
    graph.setBackColor(systemColour(15));
    graph.Cls();
    EXPECT_EQ(at(100, 100), 0x654321U);
}

TEST_F(SurfaceTest, MouseAndKeysReachTheGraphInLogicalUnitsAndKeyCodes) {
    LoggingListener listener;
    graph.setEventListener(&listener);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);  // no second click
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "a");
    QApplication::sendEvent(surface, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(surface, &up);
    graph.setEnabled(false);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(listener.log.str(),
              "MouseDown 1 1 5 4500;MouseMove 1 0 5 4500;MouseUp 1 0 5 4500;Click;MouseDown 2 0 5 4500;DblClick;"
              "MouseUp 1 0 5 4500;KeyDown 65 2;KeyPress 97;KeyUp 37 0;");
}

// The same series rendered one segment per call and all in one: in every raster mode,
// where drawing a pixel twice is not the same as once, the pictures must be identical.
TEST(PolylineRaster, PolylineGivesTheSamePixelsAsItsSegments) {
    twoScreenApp();
    // Series within one pixel column: ending on a new extreme, and going back over itself.
    std::vector<std::vector<float>> series{{4500, 5400, 3600, 8100}, {4500, 900, 4500}};
    for (const int count : {10, 166, 1000, 32767}) {
        const std::vector<double> values = seriesValues(count, static_cast<unsigned>(count), 1.0);
        series.emplace_back(values.begin(), values.end());
    }
    for (const auto& ys : series) {
        for (const int width : {1, 2, 3, 20}) {
            for (const int mode : {13, 7, 6}) {
                QtDrawingSurface segmentwise, merged;
                for (QtDrawingSurface* s : {&segmentwise, &merged}) {
                    plain(*s, ys.size() < 5 ? 1000.0F : static_cast<float>(ys.size()), 9000, width, mode);
                    s->setPenPosition({0, ys.front()});
                }
                for (std::size_t i = 0; i < ys.size(); ++i) {
                    segmentwise.lineTo({static_cast<float>(i), ys[i]}, 0x00C0FF);
                }
                merged.seriesTo(0, ys, 0x00C0FF);
                EXPECT_EQ(segmentwise.picture(), merged.picture())
                    << ys.size() << " samples, width " << width << ", mode " << mode;
            }
        }
    }
}

Picture pictureOf(const QImage& image) {
    Picture picture{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            picture.pixels.push_back(rgbAt(image, x, y));
        }
    }
    return picture;
}

// The reference pictures that the GDI surface is compared with on Windows are the image
// surface's own pictures of the same scenes. With QUORVEL_WRITE_SURFACE_PICTURES=1 this
// test writes them anew instead of comparing (see tests/fixtures/surface-pictures/README).
TEST(QtReferencePictures, TheImageSurfaceDrawsEachSceneAsItsReferencePicture) {
    twoScreenApp();
    const char* write = std::getenv("QUORVEL_WRITE_SURFACE_PICTURES");
    const bool writing = write != nullptr && std::string(write) == "1";
    for (const Scene& scene : comparisonScenes()) {
        QtDrawingSurface surface;  // at 96 dpi, as the reference pictures are drawn
        drawScene(surface, scene);
        const Picture ours = pictureOf(surface.picture());
        const std::string path = referencePicturePath(QUORVEL_SOURCE_DIR, scene.name());
        if (writing) {
            writePictureFile(path, ours);
        } else {
            EXPECT_EQ(ours, readPictureFile(path)) << scene.name();
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
