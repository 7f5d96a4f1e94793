#include "platform/qt/XcbPixelFormat.h"

#include <bit>

namespace quorvel {
namespace {

// An 8-bit channel value placed into a mask of any width: the top bits are kept.
std::uint32_t toMask(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return (value << shift) & mask;
}

// The inverse: a mask's bits widened or narrowed to eight, repeating the top bits.
std::uint32_t fromMask(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> std::countr_zero(mask);
    if (bits >= 8) {
        return value >> (bits - 8);
    }
    std::uint32_t wide = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        wide = (wide << bits) | value;
    }
    const int total = ((8 + bits - 1) / bits) * bits;
    return (wide >> (total - 8)) & 0xFFU;
}

}  // namespace

std::uint32_t XcbPixelFormat::pixelOf(std::uint32_t rgb) const {
    return otherBits | toMask((rgb >> 16) & 0xFFU, redMask) | toMask((rgb >> 8) & 0xFFU, greenMask) |
           toMask(rgb & 0xFFU, blueMask);
}

std::uint32_t XcbPixelFormat::rgbOf(std::uint32_t pixel) const {
    return (fromMask(pixel, redMask) << 16) | (fromMask(pixel, greenMask) << 8) | fromMask(pixel, blueMask);
}

}  // namespace quorvel
