#include "platform/windows/GdiSurfaceInput.h"

#include <cstdint>
#include <optional>

namespace quorvel {
namespace {

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

bool GdiSurfaceInput::mouse(UINT message, WPARAM wParam, LogicalPoint at, bool inside) {
    const std::int16_t shift = shiftState(wParam);
    std::int16_t button = 0;
    switch (message) {
    case WM_LBUTTONDOWN: press(1, shift, at); return true;
    case WM_RBUTTONDOWN: press(2, shift, at); return true;
    case WM_MBUTTONDOWN: press(4, shift, at); return true;
    case WM_LBUTTONDBLCLK: doubleClick(); return true;
    case WM_RBUTTONDBLCLK: press(2, shift, at); return true;
    case WM_MBUTTONDBLCLK: press(4, shift, at); return true;
    case WM_LBUTTONUP: button = 1; break;
    case WM_RBUTTONUP: button = 2; break;
    case WM_MBUTTONUP: button = 4; break;
    case WM_MOUSEMOVE: move(buttonState(wParam), shift, at); return true;
    default: return false;
    }
    release(button, shift, at, inside);
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
        const auto code = static_cast<std::int16_t>(wParam & 0xFFU);
        const std::int16_t shift = shiftState(std::nullopt);
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            keyDown(code, shift);
        } else {
            keyUp(code, shift);
        }
        return true;
    }
    case WM_CHAR: typed(static_cast<std::int16_t>(wParam & 0xFFFFU)); return true;
    default: return false;
    }
}

}  // namespace quorvel
