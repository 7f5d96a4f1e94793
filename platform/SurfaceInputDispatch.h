#pragma once

#include <cstdint>
#include <exception>
#include <functional>

#include "platform/DrawingSurface.h"
#include "platform/InputListener.h"

namespace quorvel {

// What every drawing surface does with its mouse and keyboard input once the system's
// event is coded as the listener expects (Button, Shift, KeyCode): hands it to the input
// listener and makes clicks of a left press and release. What a listener throws goes to
// the error handler, since nothing may cross the system's event loop; without one, the
// error is printed and the process ends.
class SurfaceInputDispatch {
public:
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    SurfaceInputDispatch();

    void setListener(InputListener* listener) { listener_ = listener; }
    // An empty handler restores the default one.
    void setErrorHandler(ErrorHandler handler);
    void reportError(std::exception_ptr error) const;

    void press(std::int16_t button, std::int16_t shift, LogicalPoint at);
    // inside: whether the release happened over the surface.
    void release(std::int16_t button, std::int16_t shift, LogicalPoint at, bool inside);
    // The second press of a left double click.
    void doubleClick();
    // buttons: those held during the move.
    void move(std::int16_t buttons, std::int16_t shift, LogicalPoint at);
    void keyDown(std::int16_t code, std::int16_t shift);
    void keyUp(std::int16_t code, std::int16_t shift);
    // A character typed, after its key down.
    void typed(std::int16_t ascii);

private:
    template <class Call>
    void deliver(Call call);

    InputListener* listener_ = nullptr;
    ErrorHandler errorHandler_;
    bool clickPending_ = false;
};

}  // namespace quorvel
