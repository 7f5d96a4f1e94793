#include "graph/MinGraph.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "common/RuntimeError.h"

namespace quorvel {
namespace {

[[noreturn, gnu::cold]] void singleOverflow(double value) {
    throw RuntimeError(ErrorKind::Overflow, "the point " + std::to_string(value) + " does not fit a single");
}

// Single precision as the logical coordinates hold it; a value beyond its range is an
// overflow rather than an infinity.
float toSinglePrecision(double value) {
    if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max()))) [[unlikely]] {
        singleOverflow(value);
    }
    return static_cast<float>(value);
}

float pointY(double max, const TaggedValue& element) {
    return toSinglePrecision(max - element.toDouble());
}

// The step between two bars: the interval negated, as a 32-bit integer.
std::int32_t barStep(const TaggedValue& interval) {
    return TaggedValue(-interval.toDouble()).toInt32();
}

// Bars from `start` by `step` while they lie on the side of 0 that the step moves away
// from. Positions move towards and past 0, so they never leave the 32-bit range; a
// step of 0 would repeat the first bar forever, so it draws that bar once.
template <class DrawOne>
void drawBars(std::int32_t start, std::int32_t step, DrawOne drawOne) {
    std::int64_t position = start;
    while (step < 0 ? position >= 0 : position <= 0) {
        drawOne(static_cast<float>(position));
        if (step == 0) {
            return;
        }
        position += step;
    }
}

}  // namespace

MinGraph::MinGraph(DrawingSurface& picGraph, ControlHost& host) : picGraph_(picGraph), host_(host) {
    picGraph_.setInputListener(&relay_);
}

MinGraph::~MinGraph() {
    picGraph_.setInputListener(nullptr);
}

void MinGraph::notify(std::string_view name) {
    host_.propertyChanged(name);
}

void MinGraph::resize(int width, int height) {
    picGraph_.place(0, 0, width, height);
    setMax(max_);
    setBunkaino(bunkaino_);
    Cls();
}

void MinGraph::Refresh() {
    picGraph_.refresh();
}

void MinGraph::Cls() {
    picGraph_.clear();
    DrawBar();
}

void MinGraph::DrawGraph(const TaggedValue& GraphData, Colour LineColor) {
    if (GraphData.kind() != ValueKind::Array) {
        return;
    }
    const double max = max_;
    picGraph_.setPenPosition({0.0F, pointY(max, GraphData.at(0))});

    const std::int64_t last = std::int64_t{bunkaino_} - 1;
    if (last < std::numeric_limits<std::int16_t>::min() || last > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorKind::Overflow,
                           "the last index " + std::to_string(last) + " does not fit a 16-bit integer");
    }
    const std::optional<Colour> colour = LineColor == -1 ? std::nullopt : std::optional<Colour>(LineColor);

    // The points go to the surface as one series; on a failure the ones before the failing
    // element are still drawn, as a point-by-point drawing would have left them.
    const auto count = static_cast<std::size_t>(std::max<std::int64_t>(last + 1, 0));
    ys_.resize(count);
    const TaggedValue::Array& elements = GraphData.array();
    std::size_t done = 0;
    try {
        for (; done < count; ++done) {
            const TaggedValue& element = done < elements.size() ? elements[done] : GraphData.at(done);
            ys_[done] = pointY(max, element);
        }
    } catch (...) {
        picGraph_.seriesTo(0.0F, std::span<const float>(ys_.data(), done), colour);
        throw;
    }
    picGraph_.seriesTo(0.0F, ys_, colour);

    if (last == std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorKind::Overflow, "the sample index stepped past 32767");
    }
}

void MinGraph::DrawBar() {
    if (barX_) {
        const std::int32_t step = barStep(barXInterval_);
        const std::int32_t start = TaggedValue(max_).toInt32();
        drawBars(start, step, [this](float y) { picGraph_.line({0.0F, y}, {picGraph_.scaleWidth(), y}, barXColor_); });
    }
    if (barY_) {
        const std::int32_t step = barStep(barYInterval_);
        drawBars(bunkaino_, step, [this](float x) {
            picGraph_.line({x, 0.0F}, {x, picGraph_.scaleHeight()}, barYColor_);
        });
    }
}

void MinGraph::EventRelay::Click() {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->Click();
    }
}

void MinGraph::EventRelay::DblClick() {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->DblClick();
    }
}

void MinGraph::EventRelay::KeyDown(std::int16_t& KeyCode, std::int16_t& Shift) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->KeyDown(KeyCode, Shift);
    }
}

void MinGraph::EventRelay::KeyPress(std::int16_t& KeyAscii) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->KeyPress(KeyAscii);
    }
}

void MinGraph::EventRelay::KeyUp(std::int16_t& KeyCode, std::int16_t& Shift) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->KeyUp(KeyCode, Shift);
    }
}

void MinGraph::EventRelay::MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->MouseDown(Button, Shift, X, Y);
    }
}

void MinGraph::EventRelay::MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->MouseMove(Button, Shift, X, Y);
    }
}

void MinGraph::EventRelay::MouseUp(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    if (owner_.listener_ != nullptr) {
        owner_.listener_->MouseUp(Button, Shift, X, Y);
    }
}

}  // namespace quorvel
