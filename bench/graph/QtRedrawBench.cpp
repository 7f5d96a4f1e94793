#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include "RedrawWorkload.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"

namespace quorvel::bench {
namespace {

// One redraw on the 170x200 picture box: Cls and three series. Arguments: samples, and
// samples between vertical bars (10 is the main window's; at larger histories the
// proportional spacing keeps the grid at eleven bars).
void qtRedraw(benchmark::State& state) {
    testing::qtTestApp();
    const auto samples = static_cast<std::int32_t>(state.range(0));
    QtDrawingSurface surface;
    QuietHost host;
    MinGraph graph(surface, host);
    setUpGraph(graph, samples, static_cast<std::int16_t>(state.range(1)));
    const auto series = jaggedHistories(samples);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        redraw(graph, series);
        benchmark::DoNotOptimize(surface.picture().constBits());
    }
}
BENCHMARK(qtRedraw)
    ->Args({10, 10})
    ->Args({1000, 100})
    ->Args({32767, 3277})
    ->Args({1000, 10})
    ->Args({32767, 10})
    ->Unit(benchmark::kMicrosecond);

// Painting the widget: its border and the persistent image, here into a pixmap as the
// offscreen platform has no window surface to show.
void qtPaint(benchmark::State& state) {
    testing::qtTestApp();
    QtDrawingSurface surface;
    QuietHost host;
    MinGraph graph(surface, host);
    setUpGraph(graph, 10, 10);
    QPixmap target(surface.size());
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        surface.render(&target);
        benchmark::DoNotOptimize(&target);
    }
}
BENCHMARK(qtPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvel::bench
