#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace quorvel::testing {
namespace {

using Op = std::function<std::uint32_t(std::uint32_t, std::uint32_t)>;

// The sixteen binary raster operations as functions of the pen P and the picture D.
const std::array<Op, 16> operations{
    [](std::uint32_t, std::uint32_t) { return 0U; },         [](std::uint32_t p, std::uint32_t d) { return ~(p | d); },
    [](std::uint32_t p, std::uint32_t d) { return ~p & d; }, [](std::uint32_t p, std::uint32_t) { return ~p; },
    [](std::uint32_t p, std::uint32_t d) { return p & ~d; }, [](std::uint32_t, std::uint32_t d) { return ~d; },
    [](std::uint32_t p, std::uint32_t d) { return p ^ d; },  [](std::uint32_t p, std::uint32_t d) { return ~(p & d); },
    [](std::uint32_t p, std::uint32_t d) { return p & d; },  [](std::uint32_t p, std::uint32_t d) { return ~(p ^ d); },
    [](std::uint32_t, std::uint32_t d) { return d; },        [](std::uint32_t p, std::uint32_t d) { return ~p | d; },
    [](std::uint32_t p, std::uint32_t) { return p; },        [](std::uint32_t p, std::uint32_t d) { return p | ~d; },
    [](std::uint32_t p, std::uint32_t d) { return p | d; },  [](std::uint32_t, std::uint32_t) { return ~0U; },
};

// 0x00BBGGRR as the picture's 0x00RRGGBB.
constexpr std::uint32_t rgb(Colour colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    return ((c & 0xFFU) << 16) | (c & 0xFF00U) | ((c >> 16) & 0xFFU);
}

// A series along row 10 of a 40 x 40 picture, over the back colour and across an upright
// line of another colour at column 23, in each raster mode at pen widths 1 and 2. Its
// points stand every 5 pixels: each pixel of a run between two is combined with the pen
// once, the join pixels too (at width 1; a wider pen's round ends overlap there), and
// the last pixel of a one-pixel line is left out.
TEST(GdiRasterModes, EachModeCombinesThePenWithThePictureByItsFunction) {
    constexpr Colour back = 0x336699;
    constexpr Colour upright = 0x40FF40;
    constexpr Colour pen = 0x00C0FF;
    for (const int width : {1, 2}) {
        for (int mode = 1; mode <= 16; ++mode) {
            GdiDrawingSurface surface(nullptr);
            surface.place(0, 0, 40, 40);
            surface.setBorderStyle(0);
            surface.setScaleWidth(8);  // 5 pixels a sample
            surface.setScaleHeight(40);
            surface.setBackColor(back);
            surface.clear();
            surface.line({4.5F, 0}, {4.5F, 40}, upright);  // column 23
            surface.setDrawWidth(static_cast<std::int16_t>(width));
            surface.setDrawMode(static_cast<std::int16_t>(mode));
            surface.setPenPosition({0.4F, 10});
            const std::vector<float> ys(7, 10.0F);
            surface.seriesTo(1, ys, pen);  // from x = 2 to x = 35 through 5, 10, ...
            const std::vector<std::uint32_t> picture = surface.picture();
            auto at = [&](int x, int y) {
                return picture.at(static_cast<std::size_t>(y) * 40 + static_cast<std::size_t>(x));
            };
            const Op& op = operations.at(static_cast<std::size_t>(mode - 1));
            const std::uint32_t overBack = op(rgb(pen), rgb(back)) & 0xFFFFFFU;
            const std::uint32_t overUpright = op(rgb(pen), rgb(upright)) & 0xFFFFFFU;
            std::vector<std::uint32_t> seen{at(7, 10), at(23, 10), at(7, 14), at(23, 14)};
            std::vector<std::uint32_t> expected{overBack, overUpright, rgb(back), rgb(upright)};
            if (width == 1) {
                seen.insert(seen.end(), {at(10, 10), at(15, 10), at(2, 10), at(35, 10), at(7, 9), at(7, 11)});
                expected.insert(expected.end(), {overBack, overBack, overBack, rgb(back), rgb(back), rgb(back)});
            }
            EXPECT_EQ(seen, expected) << "width " << width << ", mode " << mode;
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
