#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "graph/MinGraph.h"
#include "platform/qt/QtDrawingSurface.h"
#include "platform/qt/RasterOp.h"
#include "support/QtTestApp.h"
#include "support/RecordingHost.h"
#include "support/RecordingSurface.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

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
    [[nodiscard]] QRgb at(int x, int y) const { return surface.picture().pixel(x, y) & 0xFFFFFFU; }
    // The series drawn with every value at `value`, except index `index` at `other`.
    void drawFlat(double value, std::size_t index, double other, Colour colour) {
        TaggedValue::Array data(10, TaggedValue(value));
        data.at(index) = other;
        graph.DrawGraph(TaggedValue(data), colour);
    }
    // Sample 5 at value 4500: the pixel (83, 98) of the drawing area that starts at (2, 2).
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {}) {
        QMouseEvent event(type, QPointF(85, 100), surface.mapToGlobal(QPointF(85, 100)), button, held, keys);
        QApplication::sendEvent(&surface, &event);
    }

    QApplication& app = qtTestApp();
    QtDrawingSurface surface;
    RecordingHost host;
    MinGraph graph{surface, host};
};

TEST_F(SurfaceTest, SystemColoursAndMinusOneResolveThroughThePalette) {
    QPalette palette = surface.palette();
    palette.setColor(QPalette::ButtonText, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::Button, QColor(0x65, 0x43, 0x21));
    surface.setPalette(palette);
    drawFlat(4500, 0, 4500, -1);
    graph.setForeColor(0x00FF00);
    drawFlat(1000, 0, 1000, -1);
    drawFlat(6000, 0, 6000, systemColour(15));
    EXPECT_EQ((std::vector{at(40, 98), at(40, 174), at(40, 65)}), (std::vector<QRgb>{0x123456, 0x00FF00, 0x654321}));
    graph.setBackColor(systemColour(15));
    graph.Cls();
    EXPECT_EQ(at(100, 100), 0x654321U);
}

TEST_F(SurfaceTest, MouseAndKeysReachTheGraphInLogicalUnitsAndKeyCodes) {
    LoggingListener listener;
    graph.setEventListener(&listener);
    surface.show();
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);  // no second click
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "a");
    QApplication::sendEvent(&surface, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&surface, &up);
    graph.setEnabled(false);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(listener.log.str(),
              "MouseDown 1 1 5 4500;MouseMove 1 0 5 4500;MouseUp 1 0 5 4500;Click;MouseDown 2 0 5 4500;DblClick;"
              "MouseUp 1 0 5 4500;KeyDown 65 2;KeyPress 97;KeyUp 37 0;");
}

// The same series rendered one segment per call and all in one: in every raster mode,
// where drawing a pixel twice is not the same as once, the pictures must be identical.
TEST(PolylineRaster, PolylineGivesTheSamePixelsAsItsSegments) {
    qtTestApp();
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
                    s->place(0, 0, 170, 200);
                    s->setScaleWidth(ys.size() < 5 ? 1000.0F : static_cast<float>(ys.size()));
                    s->setScaleHeight(9000);
                    s->setBackColor(0x203040);
                    s->clear();
                    s->setDrawWidth(static_cast<std::int16_t>(width));
                    s->setDrawMode(static_cast<std::int16_t>(mode));
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

// The sixteen raster operations, each against the Qt composition mode it stands for.
TEST(RasterOp, EachOperationMatchesQtsCompositionMode) {
    qtTestApp();
    QImage destination(64, 1, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x) {
        destination.setPixel(x, 0, qRgb(x * 4, 255 - x * 3, (x * 37) & 0xFF));
    }
    const std::uint32_t pen = 0xFF5A3CC3U;
    for (int mode = 1; mode <= 16; ++mode) {
        QImage ours = destination.copy();
        rasterOpRun(mode)(reinterpret_cast<std::uint32_t*>(ours.scanLine(0)), 64, 1, pen);
        QImage qts = destination.copy();
        QPainter painter(&qts);
        painter.setCompositionMode(rasterOpCompositionMode(mode));
        painter.fillRect(qts.rect(), QColor::fromRgb(pen));
        painter.end();
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(ours.pixel(x, 0) & 0xFFFFFFU, qts.pixel(x, 0) & 0xFFFFFFU) << "mode " << mode << " at " << x;
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
