#include <benchmark/benchmark.h>

#include "RedrawWorkload.h"
#include "support/RecordingSurface.h"

namespace quorvel::bench {
namespace {

// The control's own cost: one redraw against a surface that only records.
void recordingRedraw(benchmark::State& state) {
    const auto samples = static_cast<std::int32_t>(state.range(0));
    testing::RecordingSurface surface;
    QuietHost host;
    MinGraph graph(surface, host);
    setUpGraph(graph, samples, static_cast<std::int16_t>(state.range(1)));
    const auto series = jaggedHistories(samples);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        redraw(graph, series);
        benchmark::DoNotOptimize(surface.ops.data());
    }
}
BENCHMARK(recordingRedraw)->Args({10, 10})->Args({1000, 100})->Args({32767, 3277})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvel::bench
