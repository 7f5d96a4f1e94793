#pragma once

#include "platform/DrawingSurface.h"
#include "platform/SurfaceInputDispatch.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

// A drawing surface's window messages for mouse and keyboard, handed to its input
// listener: X and Y in logical units, Button and Shift coded as the listener expects, the
// system's virtual key codes as they are.
class GdiSurfaceInput : public SurfaceInputDispatch {
public:
    // A mouse message at `at`; `inside`: whether it happened over the surface. False
    // for a message that is not a mouse message.
    bool mouse(UINT message, WPARAM wParam, LogicalPoint at, bool inside);
    // A keyboard message; false for one that is not.
    bool key(UINT message, WPARAM wParam);
};

}  // namespace quorvel
