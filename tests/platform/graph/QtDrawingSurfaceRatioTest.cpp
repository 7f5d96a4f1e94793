#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPalette>
#include <QScreen>

#include <cmath>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/graph/RedrawWorkload.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"

namespace quorvel::testing {
namespace {

constexpr QRgb black = 0x000000, blue = 0x0000FF;  // as pixels
enum Screen { left = 0, right = 1 };

// Two offscreen screens side by side: the left one at 100 %, the right one at 200 %.
QApplication& twoScreenApp() {
    static const bool configured = [] {
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" QUORVEL_SOURCE_DIR "/tests/fixtures/screens/two-screens.json");
        qputenv("QT_SCREEN_SCALE_FACTORS", "left=1;right=2");
        return true;
    }();
    static_cast<void>(configured);
    return qtTestApp();
}

void waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// A window filled by a surface and its graph, shown on one of the screens.
struct Window {
    explicit Window(Screen screen) {
        window.setScreen(QGuiApplication::screens().at(screen));
        window.move(QGuiApplication::screens().at(screen)->geometry().topLeft() + QPoint(10, 10));
        window.resize(170, 200);
        window.show();
        waitFor([&] { return surface->deviceScale().ratio() == window.screen()->devicePixelRatio(); });
    }
    void moveTo(Screen screen) {
        window.move(QGuiApplication::screens().at(screen)->geometry().topLeft() + QPoint(10, 10));
        const double ratio = QGuiApplication::screens().at(screen)->devicePixelRatio();
        waitFor([&] { return surface->deviceScale().ratio() == ratio; });
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

// Platform pixels to device pixels: halves round up, nothing drawn shrinks to nothing,
// and a ratio that is no positive number counts as 1.
TEST(DeviceScaleRule, LengthsScaleWithTheRatioAndRoundToWholePixels) {
    // A ratio, and 0, 1, 2, 3 and 170 platform pixels in device pixels.
    const std::pair<double, std::vector<int>> cases[] = {{1, {0, 1, 2, 3, 170}},   {1.25, {0, 1, 3, 4, 213}},
                                                         {1.5, {0, 2, 3, 5, 255}}, {2, {0, 2, 4, 6, 340}},
                                                         {0.5, {0, 1, 1, 2, 85}},  {0, {0, 1, 2, 3, 170}},
                                                         {-2, {0, 1, 2, 3, 170}},  {std::nan(""), {0, 1, 2, 3, 170}}};
    for (const auto& [ratio, expected] : cases) {
        std::vector<int> pixels;
        for (const int length : {0, 1, 2, 3, 170}) {
            pixels.push_back(DeviceScale(ratio).pixels(length));
        }
        EXPECT_EQ(pixels, expected) << "ratio " << ratio;
    }
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
    auto pixel = [&](int x, int y) { return p.pixel(x, y) & 0xFFFFFFU; };
    std::vector<int> bars;
    for (int x = 0; x < p.width(); ++x) {
        const auto runs = enclosedRuns(
            p.height(), [&](int y) { return pixel(x, y); }, blue, black);
        bars.insert(bars.end(), runs.begin(), runs.end());
    }
    for (int y = 0; y < p.height(); ++y) {
        const auto runs = enclosedRuns(
            p.width(), [&](int x) { return pixel(x, y); }, blue, black);
        bars.insert(bars.end(), runs.begin(), runs.end());
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
    int kept = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            kept += enlarged.pixel(2 * x, 2 * y) == before.pixel(x, y) &&
                    enlarged.pixel(2 * x + 1, 2 * y + 1) == before.pixel(x, y);
        }
    }
    EXPECT_EQ(kept, before.width() * before.height());
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
        w.surface->setBorderStyle(0);
        w.surface->place(0, 0, 100, 100);
        w.surface->setScaleWidth(scaleWidth);
        w.surface->setScaleHeight(100);
        w.surface->clear();
        w.surface->line({x, 0}, {x, 100}, 0xFFFFFF);
        const QImage& p = w.picture();
        int lit = -1;
        for (int i = 0; i < p.width(); ++i) {
            lit = (p.pixel(i, p.height() / 2) & 0xFFFFFFU) != 0 ? i : lit;
        }
        EXPECT_EQ(lit, column) << "x " << x << " of " << scaleWidth << " on screen " << screen;
    }
}

// A dotted 1-pixel pen at 200 %: dots and gaps of 6 device pixels, 2 pixels thick, and
// every pixel combined once, so that XOR draws what a copy pen draws.
TEST(SurfaceAtRatioTwo, DashesScaleWithThePenAndCombineEachPixelOnce) {
    Window w(right);
    w.surface->setBorderStyle(0);
    w.surface->place(0, 0, 100, 100);
    w.surface->setScaleWidth(200);
    w.surface->setScaleHeight(200);
    w.surface->clear();
    w.surface->setDrawStyle(2);
    w.surface->line({0, 100}, {200, 100}, 0xFFFFFF);
    const QImage& p = w.picture();
    const std::vector<int> dots = enclosedRuns(
        p.width(), [&](int x) { return p.pixel(x, 99) & 0xFFFFFFU; }, 0xFFFFFF, 0);
    const std::vector<int> gaps = enclosedRuns(
        p.width(), [&](int x) { return p.pixel(x, 100) & 0xFFFFFFU; }, 0, 0xFFFFFF);
    EXPECT_EQ(dots, std::vector<int>(dots.size(), 6));
    EXPECT_EQ(gaps, std::vector<int>(gaps.size(), 6));
    EXPECT_EQ(dots.size(), 16U);
    EXPECT_EQ((std::vector{p.pixel(3, 98) & 0xFFFFFFU, p.pixel(3, 101) & 0xFFFFFFU}), (std::vector<QRgb>{0, 0}));

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

}  // namespace
}  // namespace quorvel::testing
