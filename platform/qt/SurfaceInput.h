#pragma once

#include <QKeyEvent>
#include <QMouseEvent>
#include <exception>
#include <functional>

#include "platform/DrawingSurface.h"
#include "platform/InputListener.h"

namespace quorvel {

// A drawing surface's mouse and keyboard events, handed to its input listener in logical
// units. An error that the listener raises goes to the surface's error handler, since it
// must not cross Qt's event loop; without one, the error is printed and the process ends.
class SurfaceInput {
public:
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    SurfaceInput();

    void setListener(InputListener* listener) { listener_ = listener; }
    // An empty handler restores the default one.
    void setErrorHandler(ErrorHandler handler);
    void reportError(std::exception_ptr error) const { errorHandler_(std::move(error)); }

    void mousePress(const QMouseEvent& event, LogicalPoint at);
    // inside: whether the release happened over the surface.
    void mouseRelease(const QMouseEvent& event, LogicalPoint at, bool inside);
    void mouseDoubleClick(const QMouseEvent& event, LogicalPoint at);
    void mouseMove(const QMouseEvent& event, LogicalPoint at);
    void keyPress(const QKeyEvent& event);
    void keyRelease(const QKeyEvent& event);

private:
    template <class Call>
    void deliver(Call call);

    InputListener* listener_ = nullptr;
    ErrorHandler errorHandler_;
    bool clickPending_ = false;
};

}  // namespace quorvel
