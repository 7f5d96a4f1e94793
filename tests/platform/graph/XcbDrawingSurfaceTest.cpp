#include <gtest/gtest.h>

#include <QtGui/qguiapplication_platform.h>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "platform/qt/XcbDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"
#include "support/SurfaceScenes.h"
#include "support/XSession.h"

// Under the leak sanitizer: the leaks of the libraries under Qt's X11 platform to leave out.
extern "C" const char* __lsan_default_options();   // NOLINT(bugprone-reserved-identifier)
extern "C" const char* __lsan_default_options() {  // NOLINT(bugprone-reserved-identifier)
    return "suppressions=" QUORVEL_SOURCE_DIR "/tests/platform/graph/xcb-lsan.supp";
}

namespace quorvel::testing {
namespace {

// Pixels in which the two pictures differ (and a size that differs fails).
int differing(const QImage& ours, const QImage& reference) {
    EXPECT_EQ(ours.size(), reference.size());
    int count = 0;
    for (int y = 0; y < std::min(ours.height(), reference.height()); ++y) {
        for (int x = 0; x < std::min(ours.width(), reference.width()); ++x) {
            count += rgbAt(ours, x, y) != rgbAt(reference, x, y) ? 1 : 0;
        }
    }
    return count;
}

// The window's pixels: the border in the palette's colours and the pixmap inside it.
QImage windowPixels(const XcbDrawingSurface& surface) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(surface.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The X surface in a window of 170 x 200 that the window manager leaves alone.
class XSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The application on the X session the test run shares (Xvfb with a window manager).
        static const bool ready = [] {
            const std::string display = sharedDisplay();
            if (display.empty()) {
                return false;
            }
            setenv("DISPLAY", display.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            qtTestApp();
            return QGuiApplication::platformName() == QLatin1String("xcb");
        }();
        if (!ready) {
            GTEST_SKIP() << "no shared X session to draw on";
        }
        window = std::make_unique<QWidget>();
        window->setWindowFlags(Qt::Window | Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
        window->setGeometry(20, 20, 170, 200);
        x = XcbDrawingSurface::create(window.get());
        ASSERT_NE(x, nullptr);
    }

    std::unique_ptr<QWidget> window;  // made once the application is
    XcbDrawingSurface* x = nullptr;   // owned by the window
};

const std::pair<LogicalPoint, LogicalPoint> levelAndUpright[] = {
    {{1, 1}, {8, 1}},   {{8, 2}, {1, 2}},   {{2, 3}, {2, 8}},           {{3, 8}, {3, 3}},         {{-5, 4}, {20, 4}},
    {{5, -9}, {5, 99}}, {{4, 50}, {4, 50}}, {{9.99F, 0}, {9.99F, 100}}, {{0, 99.9F}, {10, 99.9F}}};

// Each drawing on both surfaces: the X surface's picture must be the image surface's.
TEST_F(XSurfaceTest, EachDrawingMatchesTheImageSurface) {
    auto compare = [&](const std::string& name, bool far, const std::function<void(DrawingSurface&)>& draw) {
        QtDrawingSurface image;
        draw(image);
        draw(*x);
        QImage background(image.picture().size(), QImage::Format_RGB32);
        background.fill(sceneBackground);
        // Points beyond the 16-bit coordinates of the X protocol: a rounding where a line is clipped.
        const int allowed = far ? differing(image.picture(), background) / 50 : 0;
        EXPECT_LE(differing(x->picture(), image.picture()), allowed) << name << (far ? " far" : "");
    };
    // Every raster mode at widths 1 to 3 (a pixel combined twice instead of once shows in
    // most of them), the default pens, a longer history and every pen style.
    std::vector<Scene> scenes = comparisonScenes();
    for (int mode = 1; mode <= 16; ++mode) {
        scenes.push_back({.width = 3, .mode = mode});
    }
    // Many samples to a pixel column, where a series is drawn merged, in modes where a pixel
    // combined twice shows.
    for (const int samples : {1000, 32767}) {
        for (const int width : {1, 2, 3}) {
            scenes.push_back({.width = width, .mode = 7, .samples = samples});
            scenes.push_back({.width = width, .mode = 6, .samples = samples});
        }
    }
    // A wide pen across thousands of steep steps makes more shapes than the surface keeps
    // for a frame, which is then drawn as it comes, twice; then small frames again.
    for (const int samples : {3000, 3000, 10, 10}) {
        scenes.push_back({.width = 3, .samples = samples});
    }
    // Values a million times Max: what crosses the picture keeps its place.
    for (const int width : {1, 2, 3}) {
        scenes.push_back({.width = width, .scale = 1e6});
    }
    for (const Scene& scene : scenes) {
        compare(scene.name(), scene.scale > 1, [&](DrawingSurface& s) { drawScene(s, scene); });
    }
    // Level and upright lines go out as rectangles: each direction, from inside and from
    // beyond every edge, with the pen left where the last one ended.
    for (const int width : {1, 2, 3}) {
        for (const int mode : {7, 13}) {
            compare("lines-w" + std::to_string(width) + "-mode" + std::to_string(mode), false, [&](DrawingSurface& s) {
                plain(s, 10, 100, width, mode);
                for (const auto& [from, to] : levelAndUpright) {
                    s.line(from, to, 0x00C0FF);
                    s.lineTo({to.x, to.y + 0.5F}, 0x4080FF);
                }
            });
        }
    }
}

// Tick after tick the X surface sends only the requests that changed, fills and redraws
// only the box they cover and copies only that box to its window. The picture must
// still be the image surface's full redraw after every tick, and the window must show
// it, through ticks that repeat the last frame, pen and raster-mode changes, a new
// background, a new grid, a resize and an expose.
TEST_F(XSurfaceTest, TickAfterTickThePictureAndTheWindowMatchAFullRedraw) {
    const std::map<int, std::function<void(MinGraph&)>> changes{
        {0, [](MinGraph& g) { setUpScene(g, {}); }},
        {8, [](MinGraph& g) { g.setDrawMode(7); }},                       // xor: a pixel drawn twice shows
        {14, [](MinGraph& g) { g.setDrawWidth(1), g.setDrawStyle(2); }},  // dotted
        {20, [](MinGraph& g) { g.setDrawWidth(3), g.setDrawStyle(0), g.setDrawMode(13); }},  // row runs
        {26, [](MinGraph& g) { g.setBackColor(0x204060); }},
        {30, [](MinGraph& g) { g.resize(150, 180); }},
        {36, [](MinGraph& g) { g.setMax(20000); }},                      // the series and the grid move
        {42, [](MinGraph& g) { g.setDrawWidth(2), g.setDrawMode(6); }},  // invert, sent as runs
    };
    const std::vector<int> windowChecks{4, 13, 19, 25, 29, 33, 41, 45, 47};
    constexpr int exposeTick = 45;

    window->show();
    QtDrawingSurface image;
    RecordingHost host;
    MinGraph graphX(*x, host), graphImage(image, host);
    std::array<TaggedValue::Array, 3> history;
    history.fill(TaggedValue::Array(10, TaggedValue(0.0)));
    unsigned state = 7;
    for (int tick = 0; tick < 48; ++tick) {
        // Every fourth tick repeats the last frame; the others shift in a new sample, low
        // ones mostly, and every twelfth tick a peak in the first series (now and then
        // beyond an edge) that moves across and out again.
        for (std::size_t s = 0; s < history.size() && tick % 4 != 3; ++s) {
            state = state * 1103515245U + 12345U;
            const double peak = tick == 24 ? 30000.0 : tick == 36 ? -5000.0 : 8000.0;
            history.at(s).erase(history.at(s).begin());
            history.at(s).emplace_back(s == 0 && tick % 12 == 0 ? peak : static_cast<double>((state >> 8) % 400));
        }
        for (MinGraph* g : {&graphX, &graphImage}) {
            if (changes.contains(tick)) {
                changes.at(tick)(*g);
            }
            g->Cls();
            for (std::size_t s = 0; s < history.size(); ++s) {
                g->DrawGraph(TaggedValue(history.at(s)), sceneColours.at(s));
            }
            g->Refresh();
        }
        if (tick == exposeTick) {
            // Clear the window to white behind the surface's back, which exposes it.
            auto* const c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
            const std::uint32_t white = 0xFFFFFF;
            xcb_change_window_attributes(c, static_cast<xcb_window_t>(x->winId()), XCB_CW_BACK_PIXEL, &white);
            xcb_clear_area(c, 1, static_cast<xcb_window_t>(x->winId()), 0, 0, 0, 0);
            xcb_flush(c);
        }
        const QImage picture = x->picture();
        EXPECT_EQ(differing(picture, image.picture()), 0) << "tick " << tick;
        if (std::find(windowChecks.begin(), windowChecks.end(), tick) != windowChecks.end()) {
            EXPECT_TRUE(waitUntil([&] { return windowPixels(*x).copy(x->drawingArea()) == picture; }))
                << "the window does not show tick " << tick;
        }
        if (tick == 4) {  // the three-dimensional border around the pixmap, in the palette's colours
            const auto c = [&](QPalette::ColorRole role) { return x->palette().color(role).rgb(); };
            const std::vector expected{c(QPalette::Dark),  c(QPalette::Dark),   c(QPalette::Light),
                                       c(QPalette::Light), c(QPalette::Shadow), c(QPalette::Midlight)};
            EXPECT_TRUE(waitUntil([&] {
                const QImage s = windowPixels(*x);
                return std::vector{s.pixel(5, 0),   s.pixel(0, 5), s.pixel(5, 199),
                                   s.pixel(169, 5), s.pixel(5, 1), s.pixel(168, 5)} == expected;
            })) << "the border";
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
