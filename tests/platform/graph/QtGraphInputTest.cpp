#include <QKeyEvent>
#include <QMouseEvent>

#include <string>
#include <utility>
#include <vector>

#include "SurfaceTestFixture.h"
#include "common/RuntimeError.h"

namespace quorvel::testing {
namespace {

class Recorder final : public InputListener {
public:
    std::vector<std::string> events;
    float x = 0;
    float y = 0;
    bool fail = false;

    void Click() override { events.emplace_back("Click"); }
    void DblClick() override { events.emplace_back("DblClick"); }
    void KeyDown(std::int16_t& KeyCode, std::int16_t& Shift) override {
        events.push_back("KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
    }
    void KeyPress(std::int16_t& KeyAscii) override { events.push_back("KeyPress " + std::to_string(KeyAscii)); }
    void KeyUp(std::int16_t& KeyCode, std::int16_t&) override { events.push_back("KeyUp " + std::to_string(KeyCode)); }
    void MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
        events.push_back("MouseDown " + std::to_string(Button) + " " + std::to_string(Shift));
        x = X;
        y = Y;
        if (fail) {
            throw RuntimeError(ErrorKind::Overflow, "from a listener");
        }
    }
    void MouseMove(std::int16_t& Button, std::int16_t&, float&, float&) override {
        events.push_back("MouseMove " + std::to_string(Button));
    }
    void MouseUp(std::int16_t& Button, std::int16_t&, float&, float&) override {
        events.push_back("MouseUp " + std::to_string(Button));
    }
};

class SurfaceInput : public SurfaceTest {
protected:
    SurfaceInput() {
        graph.setEventListener(&recorder);
        surface.show();
    }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, surface.mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(&surface, &event);
    }
    Recorder recorder;
};

TEST_F(SurfaceInput, MouseReachesTheGraphInLogicalUnits) {
    // Pixel centre of sample 5 at value 4500 on the drawing area that starts at (2, 2).
    mouse(QEvent::MouseButtonPress, {2 + 83, 2 + 98}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_NEAR(recorder.x, 5.0F, 0.1F);
    EXPECT_NEAR(recorder.y, 4500.0F, 50.0F);
    mouse(QEvent::MouseMove, {90, 90}, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {90, 90}, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, {90, 90}, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, {90, 90}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"MouseDown 1 1", "MouseMove 1", "MouseUp 1", "Click",
                                                         "MouseDown 2 0", "MouseUp 2"}));
}

TEST_F(SurfaceInput, DoubleClickGivesDblClickAndNoSecondClick) {
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"MouseDown 1 0", "MouseUp 1", "Click", "DblClick", "MouseUp 1"}));
}

TEST_F(SurfaceInput, KeysGiveVirtualKeyCodesAndCharacters) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "a");
    QApplication::sendEvent(&surface, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&surface, &up);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"KeyDown 65 2", "KeyPress 97", "KeyUp 37"}));
}

TEST_F(SurfaceInput, DisabledSurfaceTakesNoInput) {
    graph.setEnabled(false);
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(recorder.events.empty());
    graph.setEnabled(true);
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(recorder.events.size(), 1U);
}

TEST_F(SurfaceInput, ListenerErrorsGoToTheHandlerNotTheEventLoop) {
    std::string reported;
    surface.setErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(std::move(error));
        } catch (const RuntimeError& e) {
            reported = e.report();
        }
    });
    recorder.fail = true;
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_NE(reported.find("from a listener"), std::string::npos);
}

}  // namespace
}  // namespace quorvel::testing
