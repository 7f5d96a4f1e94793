#include "platform/SurfaceInputDispatch.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel {
namespace {

struct Listener final : InputListener {
    std::ostringstream log;
    void Click() override { log << "Click;"; }
    void DblClick() override { log << "DblClick;"; }
    void KeyDown(std::int16_t& code, std::int16_t& shift) override { log << "KeyDown " << code << ' ' << shift << ';'; }
    void KeyPress(std::int16_t& ascii) override { log << "KeyPress " << ascii << ';'; }
    void KeyUp(std::int16_t& code, std::int16_t& shift) override { log << "KeyUp " << code << ' ' << shift << ';'; }
    void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("Down", b, s, x, y); }
    void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("Move", b, s, x, y); }
    void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("Up", b, s, x, y); }
    void mouse(const char* what, std::int16_t b, std::int16_t s, float x, float y) {
        log << what << ' ' << b << ' ' << s << ' ' << x << ' ' << y << ';';
    }
};

// Only a left press and a left release over the surface make a click, and not when a
// double click came between them.
TEST(SurfaceInputDispatch, ALeftPressAndReleaseInsideMakeAClick) {
    using Events = std::function<void(SurfaceInputDispatch&)>;
    struct Case {
        Events events;
        std::string log;
    };
    const std::vector<Case> cases{
        {[](SurfaceInputDispatch& d) {
             d.press(1, 2, {3, 4});
             d.move(1, 0, {5, 6});
             d.release(1, 0, {5, 6}, true);
         },
         "Down 1 2 3 4;Move 1 0 5 6;Up 1 0 5 6;Click;"},
        {[](SurfaceInputDispatch& d) {
             d.press(1, 0, {});
             d.release(1, 0, {}, false);
         },
         "Down 1 0 0 0;Up 1 0 0 0;"},
        {[](SurfaceInputDispatch& d) {
             d.press(2, 0, {});
             d.release(2, 0, {}, true);
         },
         "Down 2 0 0 0;Up 2 0 0 0;"},
        {[](SurfaceInputDispatch& d) {
             d.press(1, 0, {});
             d.press(2, 0, {});
             d.release(1, 0, {}, true);
         },
         "Down 1 0 0 0;Down 2 0 0 0;Up 1 0 0 0;"},
        {[](SurfaceInputDispatch& d) {
             d.press(1, 0, {});
             d.release(1, 0, {}, true);
             d.doubleClick();
             d.release(1, 0, {}, true);
         },
         "Down 1 0 0 0;Up 1 0 0 0;Click;DblClick;Up 1 0 0 0;"},
        {[](SurfaceInputDispatch& d) {
             d.keyDown(65, 1);
             d.typed(65);
             d.keyUp(65, 1);
         },
         "KeyDown 65 1;KeyPress 65;KeyUp 65 1;"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Listener listener;
        SurfaceInputDispatch dispatch;
        dispatch.setListener(&listener);
        cases[i].events(dispatch);
        EXPECT_EQ(listener.log.str(), cases[i].log) << "case " << i;
    }
}

TEST(SurfaceInputDispatch, WhatAListenerThrowsGoesToTheErrorHandlerAndInputGoesOn) {
    struct Throwing final : InputListener {
        int clicks = 0;
        void MouseDown(std::int16_t& /*b*/, std::int16_t& /*s*/, float& /*x*/, float& /*y*/) override {
            throw std::runtime_error("from a listener");
        }
        void Click() override { ++clicks; }
    } listener;
    std::vector<std::string> errors;
    SurfaceInputDispatch dispatch;
    dispatch.setErrorHandler([&](const std::exception_ptr& error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.emplace_back(e.what());
        }
    });
    dispatch.press(1, 0, {});  // no listener yet: nothing happens
    dispatch.setListener(&listener);
    dispatch.press(1, 0, {});
    dispatch.release(1, 0, {}, true);
    EXPECT_EQ(errors, std::vector<std::string>{"from a listener"});
    EXPECT_EQ(listener.clicks, 1);
}

}  // namespace
}  // namespace quorvel
