#pragma once

#include <Qt>

#include <cstdint>

// The platform's codes for input: mouse buttons 1 left, 2 right, 4 middle; shift state
// 1 shift, 2 control, 4 alt; keys as virtual key codes.
namespace quorvel::input {

std::int16_t buttonCode(Qt::MouseButton button);
std::int16_t buttonState(Qt::MouseButtons buttons);
std::int16_t shiftState(Qt::KeyboardModifiers modifiers);
// 0 for a key that has no virtual key code.
std::int16_t keyCode(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace quorvel::input
