#pragma once

#include <cstdint>

namespace quorvel {

// 0x00BBGGRR, red in the low byte. With the top bit set the low byte names one of
// the platform's system colours instead.
using Colour = std::int32_t;

constexpr std::uint32_t systemColourFlag = 0x80000000U;

constexpr bool isSystemColour(Colour colour) noexcept {
    return (static_cast<std::uint32_t>(colour) & systemColourFlag) != 0;
}

constexpr int systemColourIndex(Colour colour) noexcept {
    return static_cast<int>(static_cast<std::uint32_t>(colour) & 0xFFU);
}

constexpr Colour systemColour(int index) noexcept {
    return static_cast<Colour>(systemColourFlag | (static_cast<std::uint32_t>(index) & 0xFFU));
}

// The system's button-text colour, the fore colour a new surface starts with.
constexpr Colour buttonTextColour = systemColour(0x12);

}  // namespace quorvel
