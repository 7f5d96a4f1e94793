#include "platform/SurfaceInputDispatch.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/RuntimeError.h"

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

SurfaceInputDispatch::SurfaceInputDispatch() : errorHandler_(reportAndExit) {}

void SurfaceInputDispatch::setErrorHandler(ErrorHandler handler) {
    errorHandler_ = handler ? std::move(handler) : reportAndExit;
}

void SurfaceInputDispatch::reportError(std::exception_ptr error) const {
    errorHandler_(std::move(error));
}

template <class Call>
void SurfaceInputDispatch::deliver(Call call) {
    if (listener_ == nullptr) {
        return;
    }
    try {
        call(*listener_);
    } catch (...) {
        errorHandler_(std::current_exception());
    }
}

void SurfaceInputDispatch::press(std::int16_t button, std::int16_t shift, LogicalPoint at) {
    clickPending_ = button == 1;
    deliver([&](InputListener& l) { l.MouseDown(button, shift, at.x, at.y); });
}

// A left press and release over the surface make a click; the release that ends a
// double click does not.
void SurfaceInputDispatch::release(std::int16_t button, std::int16_t shift, LogicalPoint at, bool inside) {
    const bool click = clickPending_ && button == 1 && inside;
    clickPending_ = false;
    deliver([&](InputListener& l) { l.MouseUp(button, shift, at.x, at.y); });
    if (click) {
        deliver([](InputListener& l) { l.Click(); });
    }
}

void SurfaceInputDispatch::doubleClick() {
    clickPending_ = false;
    deliver([](InputListener& l) { l.DblClick(); });
}

void SurfaceInputDispatch::move(std::int16_t buttons, std::int16_t shift, LogicalPoint at) {
    deliver([&](InputListener& l) { l.MouseMove(buttons, shift, at.x, at.y); });
}

void SurfaceInputDispatch::keyDown(std::int16_t code, std::int16_t shift) {
    deliver([&](InputListener& l) { l.KeyDown(code, shift); });
}

void SurfaceInputDispatch::keyUp(std::int16_t code, std::int16_t shift) {
    deliver([&](InputListener& l) { l.KeyUp(code, shift); });
}

void SurfaceInputDispatch::typed(std::int16_t ascii) {
    deliver([&](InputListener& l) { l.KeyPress(ascii); });
}

}  // namespace quorvel
