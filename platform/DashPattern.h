#pragma once

#include <array>
#include <span>

namespace quorvel {

// The on and off lengths, in pixels at 100 %, of the dashed pen styles as the system draws
// its thin pens: 1 dash, 2 dot, 3 dash-dot, and dash-dot-dot for 4 (and anything else).
inline std::span<const int> DashPattern(int style) {
    static constexpr std::array<int, 2> dash{18, 6};
    static constexpr std::array<int, 2> dot{3, 3};
    static constexpr std::array<int, 4> dashDot{9, 6, 3, 6};
    static constexpr std::array<int, 6> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case 1: return dash;
    case 2: return dot;
    case 3: return dashDot;
    default: return dashDotDot;
    }
}

}  // namespace quorvel
