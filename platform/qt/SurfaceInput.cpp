#include "platform/qt/SurfaceInput.h"

#include "platform/qt/InputCodes.h"

namespace quorvel {

void SurfaceInput::mousePress(const QMouseEvent& event, LogicalPoint at) {
    press(input::buttonCode(event.button()), input::shiftState(event.modifiers()), at);
}

void SurfaceInput::mouseRelease(const QMouseEvent& event, LogicalPoint at, bool inside) {
    release(input::buttonCode(event.button()), input::shiftState(event.modifiers()), at, inside);
}

void SurfaceInput::mouseDoubleClick(const QMouseEvent& event, LogicalPoint at) {
    if (event.button() != Qt::LeftButton) {
        mousePress(event, at);
        return;
    }
    doubleClick();
}

void SurfaceInput::mouseMove(const QMouseEvent& event, LogicalPoint at) {
    move(input::buttonState(event.buttons()), input::shiftState(event.modifiers()), at);
}

void SurfaceInput::keyPress(const QKeyEvent& event) {
    keyDown(input::keyCode(event.key(), event.modifiers()), input::shiftState(event.modifiers()));
    const QString text = event.text();
    if (!text.isEmpty()) {
        typed(static_cast<std::int16_t>(text.at(0).unicode()));
    }
}

// Auto-repeat gives repeated key downs and one key up, at the end.
void SurfaceInput::keyRelease(const QKeyEvent& event) {
    if (event.isAutoRepeat()) {
        return;
    }
    keyUp(input::keyCode(event.key(), event.modifiers()), input::shiftState(event.modifiers()));
}

}  // namespace quorvel
