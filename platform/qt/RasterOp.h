#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel {

// Applies a binary raster operation of the pen pixel to `count` pixels, `step` pixels
// apart. Pixels are 0xAARRGGBB; the result is always opaque.
using RasterOpRun = void (*)(std::uint32_t* pixels, std::int64_t count, std::ptrdiff_t step, std::uint32_t pen);

// The run for one of the binary raster operations 1 to 16 (13 copies the pen).
RasterOpRun rasterOpRun(int drawMode);

}  // namespace quorvel
