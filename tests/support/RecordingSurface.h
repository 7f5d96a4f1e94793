#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/SurfaceProperties.h"

namespace quorvel::testing {

// A drawing surface that records what is on it: `ops` lists the drawing since the last
// clear (which starts it anew with a Clear); a series starts with the pen where it stood.
// Its properties are the shared ones of every surface, refusing what they refuse.
class RecordingSurface final : public SurfaceProperties {
public:
    enum class OpKind { Clear, Pen, LineTo, Line };
    struct Op {
        OpKind kind;
        LogicalPoint from, to;
        std::optional<Colour> colour;  // none: the fore colour
    };

    std::vector<Op> ops;
    int placeWidth = 0, placeHeight = 0;
    InputListener* listener = nullptr;
    std::vector<std::string> hooks;  // what the surface redid: "enabled", "disabled", "font", "border"

    RecordingSurface() { font_ = std::make_shared<const FontObject>(FontObject{.name = "Sans", .size = 8.25}); }
    void place(int /*left*/, int /*top*/, int width, int height) override {
        placeWidth = width;
        placeHeight = height;
    }
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override { record(OpKind::LineTo, pen_, to, colour); }
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override {
        record(OpKind::Pen, pen_, pen_, std::nullopt);
        for (const float y : ys) {
            lineTo({firstX++, y}, colour);
        }
    }
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override { record(OpKind::Line, from, to, colour); }
    void clear() override {
        ops.clear();
        record(OpKind::Clear, {}, {}, std::nullopt);
    }
    void refresh() override {}
    void setInputListener(InputListener* inputListener) override { listener = inputListener; }

    [[nodiscard]] std::vector<Op> opsOf(OpKind kind) const {
        std::vector<Op> result;
        std::ranges::copy_if(ops, std::back_inserter(result), [kind](const Op& op) { return op.kind == kind; });
        return result;
    }

private:
    void enabledChanged(bool enabled) override { hooks.emplace_back(enabled ? "enabled" : "disabled"); }
    void fontChanged(const FontObject& /*font*/) override { hooks.emplace_back("font"); }
    void borderChanged() override { hooks.emplace_back("border"); }
    void record(OpKind kind, LogicalPoint from, LogicalPoint to, std::optional<Colour> colour) {
        ops.push_back({kind, from, to, colour});
        pen_ = to;
    }
};

// Logs each input event with its arguments ("MouseDown 1 0 5 6;"); with `fail` set, a
// press throws after it is logged.
struct LoggingListener final : InputListener {
    std::ostringstream log;
    bool fail = false;
    void note(const char* name, auto... args) { ((log << name), ..., (log << ' ' << args)) << ';'; }
    void Click() override { note("Click"); }
    void DblClick() override { note("DblClick"); }
    void KeyDown(std::int16_t& code, std::int16_t& shift) override { note("KeyDown", code, shift); }
    void KeyPress(std::int16_t& ascii) override { note("KeyPress", ascii); }
    void KeyUp(std::int16_t& code, std::int16_t& shift) override { note("KeyUp", code, shift); }
    void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override { note("MouseMove", b, s, x, y); }
    void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override { note("MouseUp", b, s, x, y); }
    void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        note("MouseDown", b, s, x, y);
        if (fail) {
            throw std::runtime_error("from a listener");
        }
    }
};

}  // namespace quorvel::testing
