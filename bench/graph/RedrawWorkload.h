#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "common/TaggedValue.h"
#include "graph/MinGraph.h"
#include "platform/ControlHost.h"

namespace quorvel::bench {

class QuietHost final : public ControlHost {
public:
    [[nodiscard]] FontRef ambientFont() const override { return font_; }
    void propertyChanged(std::string_view /*name*/) override {}

private:
    FontRef font_ = std::make_shared<const FontObject>();
};

// The main window's graph as the monitoring cycle sets it up, with `samples` samples
// across and a vertical bar every `barSpacing` samples.
inline void setUpGraph(MinGraph& graph, std::int32_t samples, std::int16_t barSpacing) {
    graph.setAutoRedraw(true);
    graph.setDrawWidth(2);
    graph.setBunkaino(samples);
    graph.setBarX(true);
    graph.setBarXColor(16711680);
    graph.setBarXInterval(std::int16_t{1000});
    graph.setBarY(true);
    graph.setBarYColor(16711680);
    graph.setBarYInterval(barSpacing);
    graph.setMax(9000);
    graph.setBackColor(0);
    graph.resize(170, 200);
}

// Sum, received and sent histories of jagged random traffic.
inline std::array<TaggedValue, 3> jaggedHistories(std::int32_t samples) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(0.0, 6000.0);
    std::array<TaggedValue, 3> series{TaggedValue::makeArray(static_cast<std::size_t>(samples)),
                                      TaggedValue::makeArray(static_cast<std::size_t>(samples)),
                                      TaggedValue::makeArray(static_cast<std::size_t>(samples))};
    for (std::size_t i = 0; i < static_cast<std::size_t>(samples); ++i) {
        const double received = value(random);
        const double sent = value(random);
        series[0].at(i) = received + sent;
        series[1].at(i) = received;
        series[2].at(i) = sent;
    }
    return series;
}

inline void redraw(MinGraph& graph, const std::array<TaggedValue, 3>& series) {
    graph.Cls();
    graph.DrawGraph(series[0], 32896);
    graph.DrawGraph(series[1], 32768);
    graph.DrawGraph(series[2], 128);
}

}  // namespace quorvel::bench
