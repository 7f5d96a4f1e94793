#include "platform/SurfaceInputDispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/RecordingSurface.h"

namespace quorvel {
namespace {

// Only a left press and a left release over the surface make a click, and not when a
// double click came between them. What a listener throws goes to the error handler and
// input goes on.
TEST(SurfaceInputDispatch, EventsReachTheListenerAndALeftPressAndReleaseInsideMakeAClick) {
    // Steps: L left press, R right press, M move, u/r left/right release inside, o left release
    // outside, W double click, K key down, typed, key up, n/l listener taken away/given back,
    // f the listener's presses throw from then on.
    const std::pair<const char*, const char*> cases[] = {
        {"LMu", "MouseDown 1 2 3 4;MouseMove 1 0 5 6;MouseUp 1 0 5 6;Click;"},
        {"Lo", "MouseDown 1 2 3 4;MouseUp 1 0 0 0;"},
        {"Rr", "MouseDown 2 0 0 0;MouseUp 2 0 0 0;"},
        {"LRu", "MouseDown 1 2 3 4;MouseDown 2 0 0 0;MouseUp 1 0 5 6;"},
        {"LuWu", "MouseDown 1 2 3 4;MouseUp 1 0 5 6;Click;DblClick;MouseUp 1 0 5 6;"},
        {"K", "KeyDown 65 1;KeyPress 97;KeyUp 37 0;"},
        {"fnLlLu", "MouseDown 1 2 3 4;Error;MouseUp 1 0 5 6;Click;"}};
    for (const auto& [steps, log] : cases) {
        testing::LoggingListener listener;
        SurfaceInputDispatch dispatch;
        dispatch.setErrorHandler(
            [&](const std::exception_ptr& error) { listener.log << (error ? "Error;" : "none;"); });
        dispatch.setListener(&listener);
        for (const char* step = steps; *step != '\0'; ++step) {
            switch (*step) {
            case 'L': dispatch.press(1, 2, {3, 4}); break;
            case 'R': dispatch.press(2, 0, {}); break;
            case 'M': dispatch.move(1, 0, {5, 6}); break;
            case 'u': dispatch.release(1, 0, {5, 6}, true); break;
            case 'o': dispatch.release(1, 0, {}, false); break;
            case 'r': dispatch.release(2, 0, {}, true); break;
            case 'W': dispatch.doubleClick(); break;
            case 'K': dispatch.keyDown(65, 1), dispatch.typed(97), dispatch.keyUp(37, 0); break;
            case 'n': dispatch.setListener(nullptr); break;
            case 'l': dispatch.setListener(&listener); break;
            case 'f': listener.fail = true; break;
            default: break;
            }
        }
        EXPECT_EQ(listener.log.str(), log) << steps;
    }
}

}  // namespace
}  // namespace quorvel
