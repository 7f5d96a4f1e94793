#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// Position and outer size of a window in twips (1/1440 inch), frame included.
struct Placement {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// What a form window reports to its owner. Handlers run on the GUI thread.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    // The client area changed size.
    virtual void onResize() = 0;
    // The window is being closed by any means (not by ending the process).
    virtual void onUnload() = 0;
    // A button went down on the client area outside any child control.
    // Button: 1 left, 2 right, 4 middle; x and y in twips.
    virtual void onMouseDown(std::int16_t button, std::int16_t shift, float x, float y) = 0;
};

// A top-level window whose title bar is shown exactly when its caption is not empty.
class FormWindow {
public:
    virtual ~FormWindow() = default;

    virtual void setEvents(FormEvents* events) = 0;

    virtual void setCaption(const std::string& caption) = 0;
    [[nodiscard]] virtual std::string caption() const = 0;

    [[nodiscard]] virtual Placement placement() const = 0;
    virtual void setPlacement(const Placement& placement) = 0;
    // Client area size in the pixels that child controls are placed in.
    [[nodiscard]] virtual int clientPixelWidth() const = 0;
    [[nodiscard]] virtual int clientPixelHeight() const = 0;
    // True when some part of the placement lies on one of the screens.
    [[nodiscard]] virtual bool isOnAnyScreen(const Placement& placement) const = 0;
    // Moves the window to where the window system would put a new window.
    virtual void moveToDefaultPosition() = 0;

    virtual void show() = 0;
    // Keeps the window in front of all others (or releases it); true on success.
    virtual bool setStaysOnTop(bool onTop) = 0;
    // Lets the user move the window with the mouse until the pressed button is released.
    virtual void startInteractiveMove() = 0;
};

}  // namespace quorvel
