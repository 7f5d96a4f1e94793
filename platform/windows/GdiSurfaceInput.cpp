#include "platform/windows/GdiSurfaceInput.h"

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

bool keyHeld(int key) {
    return (static_cast<unsigned short>(::GetKeyState(key)) & 0x8000U) != 0;
}

// 1 shift, 2 control, 4 alt. A mouse message carries the first two itself.
std::int16_t shiftState(std::optional<WPARAM> mouseKeys) {
    const bool shift = mouseKeys ? (*mouseKeys & MK_SHIFT) != 0 : keyHeld(VK_SHIFT);
    const bool control = mouseKeys ? (*mouseKeys & MK_CONTROL) != 0 : keyHeld(VK_CONTROL);
    return static_cast<std::int16_t>((shift ? 1 : 0) | (control ? 2 : 0) | (keyHeld(VK_MENU) ? 4 : 0));
}

// 1 left, 2 right, 4 middle: the buttons held during a move.
std::int16_t buttonState(WPARAM mouseKeys) {
    return static_cast<std::int16_t>(((mouseKeys & MK_LBUTTON) != 0 ? 1 : 0) | ((mouseKeys & MK_RBUTTON) != 0 ? 2 : 0) |
                                     ((mouseKeys & MK_MBUTTON) != 0 ? 4 : 0));
}

}  // namespace

GdiSurfaceInput::GdiSurfaceInput() : errorHandler_(reportAndExit) {}

void GdiSurfaceInput::setErrorHandler(ErrorHandler handler) {
    errorHandler_ = handler ? std::move(handler) : reportAndExit;
}

template <class Call>
void GdiSurfaceInput::deliver(Call call) {
    if (listener_ == nullptr) {
        return;
    }
    try {
        call(*listener_);
    } catch (...) {
        errorHandler_(std::current_exception());
    }
}

void GdiSurfaceInput::press(std::int16_t button, std::int16_t shift, LogicalPoint at) {
    clickPending_ = button == 1;
    deliver([&](InputListener& l) { l.MouseDown(button, shift, at.x, at.y); });
}

// A left press and release over the surface make a click; the release that ends a
// double click does not.
bool GdiSurfaceInput::mouse(UINT message, WPARAM wParam, LogicalPoint at, bool inside) {
    std::int16_t shift = shiftState(wParam);
    std::int16_t button = 0;
    switch (message) {
    case WM_LBUTTONDOWN: press(1, shift, at); return true;
    case WM_RBUTTONDOWN: press(2, shift, at); return true;
    case WM_MBUTTONDOWN: press(4, shift, at); return true;
    case WM_LBUTTONDBLCLK:
        clickPending_ = false;
        deliver([](InputListener& l) { l.DblClick(); });
        return true;
    case WM_RBUTTONDBLCLK: press(2, shift, at); return true;
    case WM_MBUTTONDBLCLK: press(4, shift, at); return true;
    case WM_LBUTTONUP: button = 1; break;
    case WM_RBUTTONUP: button = 2; break;
    case WM_MBUTTONUP: button = 4; break;
    case WM_MOUSEMOVE:
        button = buttonState(wParam);
        deliver([&](InputListener& l) { l.MouseMove(button, shift, at.x, at.y); });
        return true;
    default: return false;
    }
    const bool click = clickPending_ && button == 1 && inside;
    clickPending_ = false;
    deliver([&](InputListener& l) { l.MouseUp(button, shift, at.x, at.y); });
    if (click) {
        deliver([](InputListener& l) { l.Click(); });
    }
    return true;
}

// Auto-repeat gives repeated key downs and one key up, at the end. A character typed
// arrives as its own message, after the key down.
bool GdiSurfaceInput::key(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        std::int16_t code = static_cast<std::int16_t>(wParam & 0xFFU);
        std::int16_t shift = shiftState(std::nullopt);
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            deliver([&](InputListener& l) { l.KeyDown(code, shift); });
        } else {
            deliver([&](InputListener& l) { l.KeyUp(code, shift); });
        }
        return true;
    }
    case WM_CHAR: {
        auto ascii = static_cast<std::int16_t>(wParam & 0xFFFFU);
        deliver([&](InputListener& l) { l.KeyPress(ascii); });
        return true;
    }
    default: return false;
    }
}

}  // namespace quorvel
