#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/TaggedValue.h"
#include "graph/MinGraph.h"
#include "platform/DrawingSurface.h"
#include "support/RecordingHost.h"

namespace quorvel::testing {

// One redraw as the monitoring cycle makes it, on a graph of 170 x 200 pixels with its
// three-dimensional border: the grid, then three series in the pen given.
struct Scene {
    int width = 2;
    int mode = 13;
    int style = 0;
    int samples = 10;
    double scale = 1.0;  // the series' values, times this

    [[nodiscard]] std::string name() const {
        return "w" + std::to_string(width) + "-mode" + std::to_string(mode) + "-style" + std::to_string(style) + "-n" +
               std::to_string(samples);
    }
};

inline constexpr std::uint32_t sceneBackground = 0x996633;  // 0x336699 as 0x00RRGGBB
inline constexpr std::array<Colour, 3> sceneColours{0x00C0FF, 0x40FF40, 0x2020E0};

// The scene's graph: its pen, Max 9000 over its samples, a grid both ways, 170 x 200.
inline void setUpScene(MinGraph& graph, const Scene& scene) {
    graph.setDrawWidth(static_cast<std::int16_t>(scene.width));
    graph.setDrawMode(static_cast<std::int16_t>(scene.mode));
    graph.setDrawStyle(static_cast<std::int16_t>(scene.style));
    graph.setBackColor(0x336699);
    graph.setBunkaino(scene.samples);
    graph.setMax(9000);
    graph.setBarX(true);
    graph.setBarXInterval(TaggedValue(std::int16_t{1000}));
    graph.setBarXColor(0xFF0000);
    graph.setBarY(true);
    graph.setBarYInterval(TaggedValue(std::int16_t{3}));
    graph.setBarYColor(0x00FF00);
    graph.resize(170, 200);  // clears and draws the grid
}

inline void drawScene(DrawingSurface& surface, const Scene& scene) {
    RecordingHost host;
    MinGraph graph(surface, host);
    setUpScene(graph, scene);
    for (unsigned s = 0; s < 3; ++s) {
        TaggedValue::Array data;
        unsigned state = s + 1;
        for (int i = 0; i < scene.samples; ++i) {
            state = state * 1103515245U + 12345U;
            // Runs of equal values, steep steps, and now and then beyond both edges.
            const double v = (i / 3) % 3 == 0 ? 4500.0 : static_cast<double>((state >> 8) % 10800) - 900.0;
            data.emplace_back(v * scene.scale);
        }
        graph.DrawGraph(TaggedValue(data), sceneColours.at(s));
    }
}

// A surface of 170 x 200 without border, cleared to the scenes' background, with a pen.
inline void plain(DrawingSurface& s, float scaleWidth, float scaleHeight, int drawWidth, int mode) {
    s.place(0, 0, 170, 200);
    s.setBorderStyle(0);
    s.setScaleWidth(scaleWidth);
    s.setScaleHeight(scaleHeight);
    s.setBackColor(0x336699);
    s.clear();
    s.setDrawWidth(static_cast<std::int16_t>(drawWidth));
    s.setDrawMode(static_cast<std::int16_t>(mode));
}

// The scenes that both the image surface and the GDI surface draw against the reference
// pictures: every raster mode at pen widths 1 and 2, then the default pens, a longer
// history and the other pen styles.
inline std::vector<Scene> comparisonScenes() {
    std::vector<Scene> scenes;
    for (const int width : {1, 2}) {
        for (int mode = 1; mode <= 16; ++mode) {
            scenes.push_back({.width = width, .mode = mode});
        }
    }
    // A longer history; dash, dot, dash-dot and dash-dot-dot, also in XOR and at width 2
    // (where dashes do not exist); invisible (no grid either) and inside solid.
    const std::vector<Scene> more{
        {.width = 1, .samples = 60}, {.width = 1, .style = 1}, {.width = 1, .style = 2},
        {.width = 1, .style = 3},    {.width = 1, .style = 4}, {.width = 1, .mode = 7, .style = 3},
        {.width = 2, .style = 1},    {.width = 1, .style = 5}, {.width = 1, .style = 6}};
    scenes.insert(scenes.end(), more.begin(), more.end());
    return scenes;
}

}  // namespace quorvel::testing
