#include "platform/SurfaceInputDispatch.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace quorvel {
namespace {

// Logs each event with its arguments; with `fail` set, a mouse press throws after it.
struct Listener final : InputListener {
    std::ostringstream log;
    bool fail = false;
    void Click() override { log << "Click;"; }
    void DblClick() override { log << "DblClick;"; }
    void KeyDown(std::int16_t& code, std::int16_t& shift) override { log << "KeyDown " << code << ' ' << shift << ';'; }
    void KeyPress(std::int16_t& ascii) override { log << "KeyPress " << ascii << ';'; }
    void KeyUp(std::int16_t& code, std::int16_t& shift) override { log << "KeyUp " << code << ' ' << shift << ';'; }
    void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        mouse("Down", b, s, x, y);
        if (fail) {
            throw std::runtime_error("from a listener");
        }
    }
    void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("Move", b, s, x, y); }
    void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("Up", b, s, x, y); }
    void mouse(const char* what, std::int16_t b, std::int16_t s, float x, float y) {
        log << what << ' ' << b << ' ' << s << ' ' << x << ' ' << y << ';';
    }
};

// Only a left press and a left release over the surface make a click, and not when a
// double click came between them. What a listener throws goes to the error handler and
// input goes on.
TEST(SurfaceInputDispatch, EventsReachTheListenerAndALeftPressAndReleaseInsideMakeAClick) {
    struct Case {
        const char* steps;  // L left press, R right press, M move, u/r left/right release inside,
                            // o left release outside, W double click, K key down, typed, key up,
                            // n/l listener taken away/given back
        bool fail;
        const char* log;
    };
    const Case cases[] = {
        {"LMu", false, "Down 1 2 3 4;Move 1 0 5 6;Up 1 0 5 6;Click;"},
        {"Lo", false, "Down 1 2 3 4;Up 1 0 0 0;"},
        {"Rr", false, "Down 2 0 0 0;Up 2 0 0 0;"},
        {"LRu", false, "Down 1 2 3 4;Down 2 0 0 0;Up 1 0 5 6;"},
        {"LuWu", false, "Down 1 2 3 4;Up 1 0 5 6;Click;DblClick;Up 1 0 5 6;"},
        {"K", false, "KeyDown 65 1;KeyPress 97;KeyUp 37 0;"},
        {"nLlLu", true, "Down 1 2 3 4;Error from a listener;Up 1 0 5 6;Click;"},
    };
    for (const Case& c : cases) {
        Listener listener;
        listener.fail = c.fail;
        SurfaceInputDispatch dispatch;
        dispatch.setErrorHandler([&](const std::exception_ptr& error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                listener.log << "Error " << e.what() << ';';
            }
        });
        dispatch.setListener(&listener);
        for (const char* step = c.steps; *step != '\0'; ++step) {
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
            default: break;
            }
        }
        EXPECT_EQ(listener.log.str(), c.log) << c.steps;
    }
}

}  // namespace
}  // namespace quorvel
