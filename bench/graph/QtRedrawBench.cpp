#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include "RedrawWorkload.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"

namespace quorvel::bench {
namespace {

// Two offscreen screens, at 100 % and at 200 %, so that one run compares both ratios.
QApplication& twoScreenApp() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" QUORVEL_SOURCE_DIR "/tests/fixtures/screens/two-screens.json");
        qputenv("QT_SCREEN_SCALE_FACTORS", "left=1;right=2");
    }
    return testing::qtTestApp();
}

// The main window's picture box on the screen whose device pixel ratio is `ratio`.
struct OnScreen {
    explicit OnScreen(double ratio) {
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->devicePixelRatio() == ratio) {
                window.setScreen(screen);
                window.move(screen->geometry().topLeft());
            }
        }
        window.resize(170, 200);
        window.show();
        QApplication::processEvents();
        setUpGraph(graph, 10, 10);
    }

    QApplication& app = twoScreenApp();
    QWidget window;
    QtDrawingSurface* surface = new QtDrawingSurface(&window);  // owned by the window
    QuietHost host;
    MinGraph graph{*surface, host};
};

// One redraw on the 170x200 picture box: Cls and three series. Arguments: samples,
// samples between vertical bars (10 is the main window's; at larger histories the
// proportional spacing keeps the grid at eleven bars), and the device pixel ratio
// (at 2 the image has four times the pixels).
void qtRedraw(benchmark::State& state) {
    OnScreen on(static_cast<double>(state.range(2)));
    const auto samples = static_cast<std::int32_t>(state.range(0));
    setUpGraph(on.graph, samples, static_cast<std::int16_t>(state.range(1)));
    const auto series = jaggedHistories(samples);
    if (on.surface->deviceScale().ratio() != static_cast<double>(state.range(2))) {
        state.SkipWithError("no screen of that ratio");
    }
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        redraw(on.graph, series);
        benchmark::DoNotOptimize(on.surface->picture().constBits());
    }
}
BENCHMARK(qtRedraw)
    ->ArgNames({"samples", "spacing", "ratio"})
    ->Args({10, 10, 1})
    ->Args({10, 10, 2})
    ->Args({1000, 100, 1})
    ->Args({1000, 100, 2})
    ->Args({32767, 3277, 1})
    ->Args({32767, 3277, 2})
    ->Args({1000, 10, 1})
    ->Args({32767, 10, 1})
    ->Unit(benchmark::kMicrosecond);

// Painting the widget: its border and the persistent image, here into a pixmap of the
// screen's resolution as the offscreen platform has no window surface to show.
void qtPaint(benchmark::State& state) {
    OnScreen on(static_cast<double>(state.range(0)));
    const double ratio = on.surface->deviceScale().ratio();
    QPixmap target(on.surface->size() * ratio);
    target.setDevicePixelRatio(ratio);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        on.surface->render(&target);
        benchmark::DoNotOptimize(&target);
    }
}
BENCHMARK(qtPaint)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvel::bench
