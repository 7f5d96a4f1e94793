#include "platform/qt/SurfaceInput.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/RuntimeError.h"
#include "platform/qt/InputCodes.h"

namespace quorvel {
namespace {

void reportAndExit(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "Quorvel: %s\n", e.report().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Quorvel: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Quorvel: unknown error\n");
    }
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

SurfaceInput::SurfaceInput() : errorHandler_(reportAndExit) {}

void SurfaceInput::setErrorHandler(ErrorHandler handler) {
    errorHandler_ = handler ? std::move(handler) : reportAndExit;
}

template <class Call>
void SurfaceInput::deliver(Call call) {
    if (listener_ == nullptr) {
        return;
    }
    try {
        call(*listener_);
    } catch (...) {
        errorHandler_(std::current_exception());
    }
}

void SurfaceInput::mousePress(const QMouseEvent& event, LogicalPoint at) {
    std::int16_t button = input::buttonCode(event.button());
    std::int16_t shift = input::shiftState(event.modifiers());
    clickPending_ = event.button() == Qt::LeftButton;
    deliver([&](InputListener& l) { l.MouseDown(button, shift, at.x, at.y); });
}

// A left press and release over the surface make a click; the release that ends a
// double click does not.
void SurfaceInput::mouseRelease(const QMouseEvent& event, LogicalPoint at, bool inside) {
    std::int16_t button = input::buttonCode(event.button());
    std::int16_t shift = input::shiftState(event.modifiers());
    const bool click = clickPending_ && event.button() == Qt::LeftButton && inside;
    clickPending_ = false;
    deliver([&](InputListener& l) { l.MouseUp(button, shift, at.x, at.y); });
    if (click) {
        deliver([](InputListener& l) { l.Click(); });
    }
}

void SurfaceInput::mouseDoubleClick(const QMouseEvent& event, LogicalPoint at) {
    if (event.button() != Qt::LeftButton) {
        mousePress(event, at);
        return;
    }
    clickPending_ = false;
    deliver([](InputListener& l) { l.DblClick(); });
}

void SurfaceInput::mouseMove(const QMouseEvent& event, LogicalPoint at) {
    std::int16_t button = input::buttonState(event.buttons());
    std::int16_t shift = input::shiftState(event.modifiers());
    deliver([&](InputListener& l) { l.MouseMove(button, shift, at.x, at.y); });
}

void SurfaceInput::keyPress(const QKeyEvent& event) {
    std::int16_t code = input::keyCode(event.key(), event.modifiers());
    std::int16_t shift = input::shiftState(event.modifiers());
    deliver([&](InputListener& l) { l.KeyDown(code, shift); });
    const QString text = event.text();
    if (!text.isEmpty()) {
        auto ascii = static_cast<std::int16_t>(text.at(0).unicode());
        deliver([&](InputListener& l) { l.KeyPress(ascii); });
    }
}

// Auto-repeat gives repeated key downs and one key up, at the end.
void SurfaceInput::keyRelease(const QKeyEvent& event) {
    if (event.isAutoRepeat()) {
        return;
    }
    std::int16_t code = input::keyCode(event.key(), event.modifiers());
    std::int16_t shift = input::shiftState(event.modifiers());
    deliver([&](InputListener& l) { l.KeyUp(code, shift); });
}

}  // namespace quorvel
