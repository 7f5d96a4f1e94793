#include "platform/qt/RasterOp.h"

#include <algorithm>
#include <array>

namespace quorvel {
namespace {

constexpr std::uint32_t opaque = 0xFF000000U;

// Pen P and destination D as the sixteen binary raster operations combine them.
template <int Mode>
constexpr std::uint32_t combine(std::uint32_t p, std::uint32_t d) {
    if constexpr (Mode == 1) {
        return 0;
    } else if constexpr (Mode == 2) {
        return ~(p | d);
    } else if constexpr (Mode == 3) {
        return ~p & d;
    } else if constexpr (Mode == 4) {
        return ~p;
    } else if constexpr (Mode == 5) {
        return p & ~d;
    } else if constexpr (Mode == 6) {
        return ~d;
    } else if constexpr (Mode == 7) {
        return p ^ d;
    } else if constexpr (Mode == 8) {
        return ~(p & d);
    } else if constexpr (Mode == 9) {
        return p & d;
    } else if constexpr (Mode == 10) {
        return ~(p ^ d);
    } else if constexpr (Mode == 11) {
        return d;
    } else if constexpr (Mode == 12) {
        return ~p | d;
    } else if constexpr (Mode == 13) {
        return p;
    } else if constexpr (Mode == 14) {
        return p | ~d;
    } else if constexpr (Mode == 15) {
        return p | d;
    } else {
        return ~0U;
    }
}

template <int Mode>
void run(std::uint32_t* pixels, std::int64_t count, std::ptrdiff_t step, std::uint32_t pen) {
    if constexpr (Mode == 13) {
        if (step == 1) {
            std::fill_n(pixels, count, pen | opaque);
            return;
        }
    }
    for (std::int64_t i = 0; i < count; ++i, pixels += step) {
        *pixels = combine<Mode>(pen, *pixels) | opaque;
    }
}

constexpr std::array<RasterOpRun, 16> runs{run<1>, run<2>,  run<3>,  run<4>,  run<5>,  run<6>,  run<7>,  run<8>,
                                           run<9>, run<10>, run<11>, run<12>, run<13>, run<14>, run<15>, run<16>};

}  // namespace

RasterOpRun rasterOpRun(int drawMode) {
    return runs.at(static_cast<std::size_t>(std::clamp(drawMode, 1, 16) - 1));
}

}  // namespace quorvel
