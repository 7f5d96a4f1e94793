#pragma once

#include <cstdint>

namespace quorvel {

// How a true-colour visual packs red, green and blue into a pixel value. Raster
// operations act on pixel values bit by bit, so with eight bits a channel they give the
// same colours as on 0xRRGGBB.
struct XcbPixelFormat {
    std::uint32_t redMask = 0xFF0000U;
    std::uint32_t greenMask = 0x00FF00U;
    std::uint32_t blueMask = 0x0000FFU;
    // Bits of the depth that no colour uses (alpha in a 32-bit visual): set, for opaque.
    std::uint32_t otherBits = 0;

    // The pixel for 0xRRGGBB.
    [[nodiscard]] std::uint32_t pixelOf(std::uint32_t rgb) const;
    // 0xRRGGBB for a pixel.
    [[nodiscard]] std::uint32_t rgbOf(std::uint32_t pixel) const;
};

}  // namespace quorvel
