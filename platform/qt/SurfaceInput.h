#pragma once

#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/DrawingSurface.h"
#include "platform/SurfaceInputDispatch.h"

namespace quorvel {

// A drawing surface's Qt mouse and keyboard events, coded as the input listener expects
// and handed to it in logical units.
class SurfaceInput : public SurfaceInputDispatch {
public:
    void mousePress(const QMouseEvent& event, LogicalPoint at);
    // inside: whether the release happened over the surface.
    void mouseRelease(const QMouseEvent& event, LogicalPoint at, bool inside);
    void mouseDoubleClick(const QMouseEvent& event, LogicalPoint at);
    void mouseMove(const QMouseEvent& event, LogicalPoint at);
    void keyPress(const QKeyEvent& event);
    void keyRelease(const QKeyEvent& event);
};

}  // namespace quorvel
