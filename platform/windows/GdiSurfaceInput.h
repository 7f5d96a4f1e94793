#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>

#include "platform/DrawingSurface.h"
#include "platform/InputListener.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

// A drawing surface's window messages for mouse and keyboard, handed to its input
// listener: X and Y in logical units, Button and Shift coded as the listener expects, the
// system's virtual key codes as they are. What a listener throws goes to the error
// handler, since nothing may cross the window procedure; without one, the error is
// printed and the process ends.
class GdiSurfaceInput {
public:
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    GdiSurfaceInput();

    void setListener(InputListener* listener) { listener_ = listener; }
    // An empty handler restores the default one.
    void setErrorHandler(ErrorHandler handler);
    void reportError(std::exception_ptr error) const { errorHandler_(std::move(error)); }

    // A mouse message at `at`; `inside`: whether it happened over the surface. False
    // for a message that is not a mouse message.
    bool mouse(UINT message, WPARAM wParam, LogicalPoint at, bool inside);
    // A keyboard message; false for one that is not.
    bool key(UINT message, WPARAM wParam);

private:
    template <class Call>
    void deliver(Call call);
    void press(std::int16_t button, std::int16_t shift, LogicalPoint at);

    InputListener* listener_ = nullptr;
    ErrorHandler errorHandler_;
    bool clickPending_ = false;
};

}  // namespace quorvel
