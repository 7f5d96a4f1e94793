#pragma once

#include <cstdint>

namespace quorvel {

// Mouse and keyboard input of a control. Arguments are passed by reference so that a
// listener's change reaches whoever raised the event. Button: 1 left, 2 right,
// 4 middle; Shift: 1 shift, 2 control, 4 alt; KeyCode: the platform's virtual key code.
// X and Y are in the surface's logical units.
class InputListener {
public:
    virtual ~InputListener() = default;

    virtual void Click() {}
    virtual void DblClick() {}
    virtual void KeyDown(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
    virtual void KeyPress(std::int16_t& /*KeyAscii*/) {}
    virtual void KeyUp(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
    virtual void MouseDown(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void MouseMove(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void MouseUp(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
};

}  // namespace quorvel
