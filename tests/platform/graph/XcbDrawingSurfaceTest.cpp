#include <gtest/gtest.h>

#include <QtGui/qguiapplication_platform.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <csignal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "platform/qt/QtHoverTip.h"
#include "platform/qt/XcbDrawingSurface.h"
#include "platform/qt/XcbPixelFormat.h"
#include "support/RecordingHost.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

// A private X server for this process, started before the tests and stopped by its
// process id after them; the application is gone by then.
class XvfbDisplay final : public ::testing::Environment {
public:
    void SetUp() override {
        std::array<int, 2> fds{};
        if (pipe(fds.data()) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            std::freopen("/dev/null", "w", stderr);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            return;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "quorvel-test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }

    void TearDown() override {
        app_.reset();
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    [[nodiscard]] static bool ready() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

private:
    pid_t pid_ = -1;
    std::unique_ptr<QApplication> app_;
};

// NOLINTNEXTLINE(cert-err58-cpp)
const auto* const display = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

xcb_connection_t* connection() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

struct Comparison {
    int differing = 0;
    int drawn = 0;  // pixels that differ from the background in either picture
};

Comparison compare(const QImage& ours, const QImage& reference, QRgb background) {
    Comparison result;
    EXPECT_EQ(ours.size(), reference.size());
    for (int y = 0; y < std::min(ours.height(), reference.height()); ++y) {
        for (int x = 0; x < std::min(ours.width(), reference.width()); ++x) {
            const QRgb a = ours.pixel(x, y) & 0xFFFFFFU;
            const QRgb b = reference.pixel(x, y) & 0xFFFFFFU;
            result.differing += a != b ? 1 : 0;
            result.drawn += (a != background || b != background) ? 1 : 0;
        }
    }
    return result;
}

// Both surfaces in one window, drawn alike.
class XSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDisplay::ready()) {
            GTEST_SKIP() << "no X server (Xvfb) to draw on";
        }
        window = std::make_unique<QWidget>();
        x = XcbDrawingSurface::create(window.get());
        ASSERT_NE(x, nullptr);
    }

    Comparison drawBoth(const Scene& scene) {
        QtDrawingSurface image;
        drawScene(image, scene);
        drawScene(*x, scene);
        return compare(x->picture(), image.picture(), sceneBackground);
    }

    std::unique_ptr<QWidget> window;
    XcbDrawingSurface* x = nullptr;  // owned by the window
};

// Every operation combines each pixel of a segment once, as the image surface does;
// a pixel off anywhere shows in the modes that combine twice differently from once.
TEST_F(XSurfaceTest, EveryRasterModeAtWidthsOneTwoAndThreeMatchesTheImageSurface) {
    for (const int width : {1, 2, 3}) {
        for (int mode = 1; mode <= 16; ++mode) {
            const Comparison c = drawBoth({.width = width, .mode = mode});
            std::cout << "width " << width << ", mode " << mode << ": " << c.differing << " of " << c.drawn
                      << " drawn pixels differ\n";
            EXPECT_EQ(c.differing, 0) << "width " << width << ", mode " << mode;
            EXPECT_GT(c.drawn, mode == 11 ? -1 : 2000) << "width " << width << ", mode " << mode;
        }
    }
}

// The scenes the image and GDI surfaces draw against the reference pictures: every raster
// mode at widths 1 and 2, the default pens, a longer history and every pen style.
TEST_F(XSurfaceTest, TheReferencePictureScenesMatchTheImageSurface) {
    for (const Scene& scene : comparisonScenes()) {
        const Comparison c = drawBoth(scene);
        EXPECT_EQ(c.differing, 0) << scene.name();
    }
}

// Level and upright lines are sent as rectangles: each direction, from inside and from
// beyond every edge, with the pen left where the last one ended.
TEST_F(XSurfaceTest, LevelAndUprightLinesInEveryDirectionMatchTheImageSurface) {
    const std::vector<std::pair<LogicalPoint, LogicalPoint>> lines{
        {{1, 1}, {8, 1}},           {{8, 2}, {1, 2}},          {{2, 3}, {2, 8}},
        {{3, 8}, {3, 3}},           {{-5, 4}, {20, 4}},        {{5, -9}, {5, 99}},
        {{9.99F, 0}, {9.99F, 100}}, {{0, 99.9F}, {10, 99.9F}}, {{4, 50}, {4, 50}},
    };
    for (const int width : {1, 2, 3}) {
        for (const int mode : {7, 13}) {
            QtDrawingSurface image;
            std::array<DrawingSurface*, 2> surfaces{x, &image};
            for (DrawingSurface* s : surfaces) {
                s->place(0, 0, 170, 200);
                s->setBorderStyle(0);
                s->setScaleWidth(10);
                s->setScaleHeight(100);
                s->setBackColor(0x336699);
                s->clear();
                s->setDrawWidth(static_cast<std::int16_t>(width));
                s->setDrawMode(static_cast<std::int16_t>(mode));
                for (const auto& [from, to] : lines) {
                    s->line(from, to, 0x00C0FF);
                    s->lineTo({to.x, to.y + 0.5F}, 0x4080FF);  // a short upright step from the pen
                }
            }
            const Comparison c = compare(x->picture(), image.picture(), sceneBackground);
            EXPECT_EQ(c.differing, 0) << "width " << width << ", mode " << mode;
            EXPECT_GT(c.drawn, 500);
        }
    }
}

// A wide pen across thousands of steep steps makes more rows than the surface keeps for a
// frame: such a frame is drawn as it comes. The picture must not change, in that frame
// or in the small ones after it.
TEST_F(XSurfaceTest, AFrameTooLargeToKeepIsDrawnAsItComes) {
    QtDrawingSurface image;
    std::array<DrawingSurface*, 2> surfaces{x, &image};
    for (const int samples : {3000, 3000, 10, 10}) {
        std::vector<float> ys(static_cast<std::size_t>(samples));
        for (std::size_t i = 0; i < ys.size(); ++i) {
            ys[i] = static_cast<float>(60 + (i * 37) % 25);
        }
        for (DrawingSurface* s : surfaces) {
            s->place(0, 0, 170, 200);
            s->setBorderStyle(0);
            s->setScaleWidth(static_cast<float>(samples));
            s->setScaleHeight(100);
            s->setBackColor(0x336699);
            s->setDrawWidth(3);
            s->clear();
            s->line({0, 10}, {static_cast<float>(samples), 10}, 0x00FF00);
            s->seriesTo(0, ys, 0x00C0FF);
            s->line({0, 90}, {static_cast<float>(samples), 90}, 0xFF0000);
        }
        const Comparison c = compare(x->picture(), image.picture(), sceneBackground);
        EXPECT_EQ(c.differing, 0) << samples << " samples";
        EXPECT_GT(c.drawn, 1000);
    }
}

// Values a million times Max put points far beyond the 16-bit coordinates of the X
// protocol; what crosses the picture keeps its place.
TEST_F(XSurfaceTest, LinesToFarPointsCrossThePictureWhereTheImageSurfaceDrawsThem) {
    for (const int width : {1, 2, 3}) {
        const Comparison c = drawBoth({.width = width, .scale = 1e6});
        std::cout << "far points, width " << width << ": " << c.differing << " of " << c.drawn
                  << " drawn pixels differ\n";
        EXPECT_LE(c.differing, c.drawn / 50) << "width " << width;  // a rounding where a line is clipped
        EXPECT_GT(c.drawn, 1000);
    }
}

// The window's pixels: the border in the palette's colours and the pixmap inside it.
QImage windowPixels(WId window, int width, int height) {
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(
            connection(),
            xcb_get_image(connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, static_cast<xcb_window_t>(window), 0, 0,
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0U),
            &error),
        &std::free);
    std::free(error);
    if (!reply || xcb_get_image_data_length(reply.get()) != width * height * 4) {
        return {};
    }
    QImage image(xcb_get_image_data(reply.get()), width, height, QImage::Format_RGB32);
    return image.copy();
}

// Processes events until the window shows `expected` inside its border, for at most a
// generous while on a loaded machine.
bool waitForWindow(const XcbDrawingSurface& surface, const QImage& expected) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        // A loop that waits, as the program's does: redraws go out before it sleeps.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(50);
        loop.exec();
        const QImage shown = windowPixels(surface.winId(), surface.width(), surface.height());
        if (!shown.isNull() && shown.copy(surface.drawingArea()) == expected) {
            return true;
        }
    }
    return false;
}

TEST_F(XSurfaceTest, RedrawsAndExposesCopyThePixmapInsideTheBorder) {
    window->resize(170, 200);
    drawScene(*x, {});
    window->show();
    const QImage picture = x->picture();
    ASSERT_TRUE(waitForWindow(*x, picture)) << "the window never showed the picture";
    const QImage shown = windowPixels(x->winId(), 170, 200);
    const QPalette& p = x->palette();
    EXPECT_EQ((std::vector{shown.pixel(5, 0), shown.pixel(0, 5), shown.pixel(5, 199), shown.pixel(169, 5),
                           shown.pixel(5, 1), shown.pixel(168, 5)}),
              (std::vector{p.color(QPalette::Dark).rgb(), p.color(QPalette::Dark).rgb(), p.color(QPalette::Light).rgb(),
                           p.color(QPalette::Light).rgb(), p.color(QPalette::Shadow).rgb(),
                           p.color(QPalette::Midlight).rgb()}));

    // A redraw reaches the window without any paint event.
    drawScene(*x, {.width = 1, .mode = 7});
    ASSERT_TRUE(waitForWindow(*x, x->picture())) << "the redraw never reached the window";

    // Paint over the window behind the surface's back; the expose that clearing brings
    // must copy the picture again.
    const xcb_gcontext_t gc = xcb_generate_id(connection());
    const std::uint32_t white = 0xFFFFFF;
    const auto id = static_cast<xcb_window_t>(x->winId());
    xcb_create_gc(connection(), gc, id, XCB_GC_FOREGROUND, &white);
    const xcb_rectangle_t all{0, 0, 170, 200};
    xcb_poly_fill_rectangle(connection(), id, gc, 1, &all);
    xcb_free_gc(connection(), gc);
    xcb_clear_area(connection(), 1, id, 0, 0, 0, 0);
    xcb_flush(connection());
    EXPECT_TRUE(waitForWindow(*x, x->picture())) << "the expose did not bring the picture back";
}

// Paints the window white behind the surface's back and clears it, which exposes it.
void spoilWindow(const XcbDrawingSurface& surface) {
    const xcb_gcontext_t gc = xcb_generate_id(connection());
    const std::uint32_t white = 0xFFFFFF;
    const auto id = static_cast<xcb_window_t>(surface.winId());
    xcb_create_gc(connection(), gc, id, XCB_GC_FOREGROUND, &white);
    const xcb_rectangle_t all{0, 0, 1000, 1000};
    xcb_poly_fill_rectangle(connection(), id, gc, 1, &all);
    xcb_free_gc(connection(), gc);
    xcb_clear_area(connection(), 1, id, 0, 0, 0, 0);
    xcb_flush(connection());
}

// Tick after tick the X surface sends only the requests that changed, fills and redraws
// only the box they cover and copies only that box to its window. The picture must
// still be the image surface's full redraw after every tick, and the window must show
// it, through ticks that repeat the last frame, pen and raster-mode changes, a new
// background, a new grid, a resize and an expose.
TEST_F(XSurfaceTest, TickAfterTickThePictureAndTheWindowMatchAFullRedraw) {
    struct Change {
        int tick;
        std::function<void(MinGraph&)> apply;
    };
    const std::vector<Change> changes{
        {8, [](MinGraph& g) { g.setDrawMode(7); }},  // xor: a pixel drawn twice shows
        {14,
         [](MinGraph& g) {
             g.setDrawWidth(1);
             g.setDrawStyle(2);
         }},  // dotted
        {20,
         [](MinGraph& g) {
             g.setDrawWidth(3);
             g.setDrawStyle(0);
             g.setDrawMode(13);
         }},  // row runs
        {26, [](MinGraph& g) { g.setBackColor(0x204060); }},
        {30, [](MinGraph& g) { g.resize(150, 180); }},
        {36, [](MinGraph& g) { g.setMax(20000); }},  // the series and the grid move
        {42,
         [](MinGraph& g) {
             g.setDrawWidth(2);
             g.setDrawMode(6);
         }},  // invert, sent as runs
    };
    const std::vector<int> windowChecks{4, 13, 19, 25, 29, 33, 41, 47};
    constexpr int exposeTick = 45;
    constexpr int ticks = 48;

    window->resize(170, 200);
    window->show();
    QtDrawingSurface image;
    RecordingHost hostX;
    RecordingHost hostImage;
    MinGraph graphX(*x, hostX);
    MinGraph graphImage(image, hostImage);
    std::array<MinGraph*, 2> graphs{&graphX, &graphImage};
    for (MinGraph* g : graphs) {
        g->setDrawWidth(2);
        g->setBackColor(0x336699);
        g->setBunkaino(10);
        g->setMax(9000);
        g->setBarX(true);
        g->setBarXInterval(TaggedValue(std::int16_t{1000}));
        g->setBarXColor(0xFF0000);
        g->setBarY(true);
        g->setBarYInterval(TaggedValue(std::int16_t{3}));
        g->setBarYColor(0x00FF00);
        g->resize(170, 200);
    }
    std::array<std::vector<double>, 3> history;
    for (auto& h : history) {
        h.assign(10, 0.0);
    }
    unsigned state = 7;
    const std::array<Colour, 3> colours{0x00C0FF, 0x40FF40, 0x2020E0};
    for (int tick = 0; tick < ticks; ++tick) {
        for (const Change& change : changes) {
            if (change.tick == tick) {
                change.apply(graphX);
                change.apply(graphImage);
            }
        }
        // Every fourth tick repeats the last frame; the others shift in a new sample, low
        // ones mostly, and every twelfth tick a peak in the first series (now and then
        // beyond an edge) that moves across and out again.
        if (tick % 4 != 3) {
            for (std::size_t s = 0; s < history.size(); ++s) {
                state = state * 1103515245U + 12345U;
                double v = static_cast<double>((state >> 8) % 400);
                if (s == 0 && tick % 12 == 0) {
                    v = tick == 24 ? 30000.0 : tick == 36 ? -5000.0 : 8000.0;
                }
                history.at(s).erase(history.at(s).begin());
                history.at(s).push_back(v);
            }
        }
        for (MinGraph* g : graphs) {
            g->Cls();
            for (std::size_t s = 0; s < history.size(); ++s) {
                TaggedValue::Array data(history.at(s).begin(), history.at(s).end());
                g->DrawGraph(TaggedValue(data), colours.at(s));
            }
            g->Refresh();
        }
        if (tick == exposeTick) {
            spoilWindow(*x);
        }
        const QImage picture = x->picture();
        EXPECT_EQ(compare(picture, image.picture(), 0).differing, 0) << "tick " << tick;
        if (tick == exposeTick || std::find(windowChecks.begin(), windowChecks.end(), tick) != windowChecks.end()) {
            EXPECT_TRUE(waitForWindow(*x, picture)) << "the window does not show tick " << tick;
        }
    }
}

// The graph's read-out over either surface: a source that answers the same lines for
// every x and notes the x it was asked for, and a listener that notes presses.
struct ReadOut final : ReadOutSource {
    std::vector<float> asked;
    std::vector<ReadOutLine> lines{{0x0000FF, false, "lo — Bytes Sent/sec"},
                                   {std::nullopt, true, "now 1.25 MB/s · 10.0 Mbit/s"},
                                   {std::nullopt, false, "top 2 MB/s, a bar every 500 kB/s"}};
    std::vector<ReadOutLine> readOut(float x) override {
        asked.push_back(x);
        return lines;
    }
};

struct Presses final : InputListener {
    std::vector<std::int16_t> buttons;
    void MouseDown(std::int16_t& button, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/) override {
        buttons.push_back(button);
    }
};

bool waitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST_F(XSurfaceTest, TheReadOutOpensAtRestFollowsThePointerAndClosesOnAPressOrLeaving) {
    window->resize(170, 200);
    window->show();
    QWidget imageWindow;
    imageWindow.resize(170, 200);
    auto* image = new QtDrawingSurface(&imageWindow);
    imageWindow.show();
    const std::vector<std::pair<const char*, QWidget*>> surfaces{{"X server", x}, {"image", image}};
    for (const auto& entry : surfaces) {
        QWidget* const widget = entry.second;  // lambdas below capture it: no structured binding
        SCOPED_TRACE(entry.first);
        auto& surface = dynamic_cast<SurfaceProperties&>(*widget);
        surface.place(0, 0, 170, 200);
        surface.setBorderStyle(0);
        surface.setScaleWidth(10);  // 17 pixels to a sample
        Presses presses;
        surface.setInputListener(&presses);
        ReadOut source;
        QtHoverTip tip(*widget, [widget, image](QPointF at) {
            return widget == image ? image->toLogical(at).x : dynamic_cast<XcbDrawingSurface*>(widget)->toLogical(at).x;
        });
        tip.setSource(&source);
        // The real pointer goes there too: the tip looks where it is while on the graph.
        auto move = [&](QPointF at, QPointF global) {
            QCursor::setPos(global.toPoint());
            QMouseEvent event(QEvent::MouseMove, at, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        };
        auto rest = [&](QPointF at) {
            QCursor::setPos(widget->mapToGlobal(at).toPoint());
            QEnterEvent enter(at, at, widget->mapToGlobal(at));
            QApplication::sendEvent(widget, &enter);
            move(at, widget->mapToGlobal(at));
            return waitUntil([&] { return tip.isOpen() && tip.tipWindow()->isVisible(); });
        };

        // Closed, a tick asks nothing.
        tip.sourceChanged();
        EXPECT_TRUE(source.asked.empty());

        ASSERT_TRUE(rest({85, 100})) << "the read-out did not open at rest";
        EXPECT_EQ(tip.shownText(), (QStringList{"lo — Bytes Sent/sec", "now 1.25 MB/s · 10.0 Mbit/s",
                                                "top 2 MB/s, a bar every 500 kB/s"}));
        EXPECT_EQ(source.asked.back(), 5.0F);
        const QPoint below = tip.tipWindow()->pos() - widget->mapToGlobal(QPoint(85, 100));
        EXPECT_GT(below.x(), 0);
        EXPECT_GT(below.y(), 0);
        EXPECT_TRUE(tip.tipWindow()->windowFlags().testFlag(Qt::ToolTip));

        // Open, it follows the pointer and asks again for the new x; a tick asks again.
        move({136, 120}, widget->mapToGlobal(QPointF(136, 120)));
        EXPECT_EQ(source.asked.back(), 8.0F);
        EXPECT_EQ(tip.tipWindow()->pos() - widget->mapToGlobal(QPoint(136, 120)), below);
        const std::size_t asked = source.asked.size();
        tip.sourceChanged();
        EXPECT_EQ(source.asked.size(), asked + 1);

        // At the corner of the screen it stays on the screen.
        const QRect screen = widget->screen()->availableGeometry();
        move({136, 120}, screen.bottomRight() - QPoint(2, 2));
        EXPECT_TRUE(screen.contains(tip.tipWindow()->frameGeometry())) << "off the screen";

        // A press closes it and still reaches the surface; a tick then asks nothing.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(136, 120), widget->mapToGlobal(QPointF(136, 120)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        EXPECT_FALSE(tip.isOpen());
        EXPECT_FALSE(tip.tipWindow()->isVisible());
        EXPECT_EQ(presses.buttons, std::vector<std::int16_t>{2});
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(136, 120), widget->mapToGlobal(QPointF(136, 120)),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
        tip.sourceChanged();
        EXPECT_EQ(source.asked.size(), asked + 2);

        // The next rest opens it again; leaving closes it.
        ASSERT_TRUE(rest({51, 100})) << "the read-out did not open again";
        EXPECT_EQ(source.asked.back(), 3.0F);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
        EXPECT_FALSE(tip.isOpen());
        EXPECT_FALSE(tip.tipWindow()->isVisible());
        const std::size_t closed = source.asked.size();
        tip.sourceChanged();
        EXPECT_EQ(source.asked.size(), closed);

        // The graph shown or moved under a pointer that stands still is told of it as of a
        // move: that opens nothing.
        move({51, 100}, widget->mapToGlobal(QPointF(51, 100)));
        QTimer rested;
        rested.setSingleShot(true);
        rested.start(QtHoverTip::restDelay * 2);
        waitUntil([&] { return !rested.isActive(); });
        EXPECT_FALSE(tip.isOpen()) << "opened with the pointer standing still";

        // A native child hears of the pointer leaving only through its window.
        ASSERT_TRUE(rest({68, 100})) << "the read-out did not open a third time";
        QEvent windowLeave(QEvent::Leave);
        QApplication::sendEvent(widget->window(), &windowLeave);
        EXPECT_FALSE(tip.isOpen());
        surface.setInputListener(nullptr);
    }
}

TEST(XcbPixelFormat, ColoursRoundTripThroughEachChannelLayout) {
    struct Case {
        XcbPixelFormat format;
        std::uint32_t rgb;
        std::uint32_t pixel;
        std::uint32_t back;  // rgbOf(pixel), the colour as the visual can show it
    };
    const std::vector<Case> cases{
        {{}, 0x123456, 0x123456, 0x123456},
        {{0x0000FF, 0x00FF00, 0xFF0000}, 0x123456, 0x563412, 0x123456},
        {{.redMask = 0xFF0000, .greenMask = 0x00FF00, .blueMask = 0x0000FF, .otherBits = 0xFF000000},
         0x123456,
         0xFF123456,
         0x123456},
        {{0xF800, 0x07E0, 0x001F}, 0xFFFFFF, 0xFFFF, 0xFFFFFF},
        {{0xF800, 0x07E0, 0x001F}, 0x808080, 0x8410, 0x848284},
        {{0x3FF00000, 0x000FFC00, 0x000003FF}, 0xFF0001, 0x3FC00004, 0xFF0001},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.format.pixelOf(c.rgb), c.pixel) << std::hex << c.rgb;
        EXPECT_EQ(c.format.rgbOf(c.pixel), c.back) << std::hex << c.pixel;
    }
}

}  // namespace
}  // namespace quorvel::testing
