#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"

namespace quorvel::testing {

// A graph control on a real 170x200 surface with the main window's pen: a three-
// dimensional border, 2-pixel lines, Max 9000 over 10 samples, black back colour.
class SurfaceTest : public ::testing::Test {
protected:
    SurfaceTest() {
        graph.setDrawWidth(2);
        graph.setBunkaino(10);
        graph.setMax(9000);
        graph.resize(170, 200);
    }

    static QRgb rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFU; }
    [[nodiscard]] QRgb at(int x, int y) const { return rgb(surface.picture(), x, y); }
    // The series drawn with every value at `value`, except index `index` at `other`.
    void drawFlat(double value, int index, double other, Colour colour) {
        TaggedValue data = TaggedValue::makeArray(10);
        for (std::size_t i = 0; i < 10; ++i) {
            data.at(i) = i == static_cast<std::size_t>(index) ? other : value;
        }
        graph.DrawGraph(data, colour);
    }

    QApplication& app = qtTestApp();
    QtDrawingSurface surface;
    RecordingHost host;
    MinGraph graph{surface, host};
};

}  // namespace quorvel::testing
