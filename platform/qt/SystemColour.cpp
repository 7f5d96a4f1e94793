#include "platform/qt/SystemColour.h"

#include <array>
#include <optional>
#include <utility>

namespace quorvel {
namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colour indexes (scroll bar 0 to menu bar 30) as the palette holds them.
std::optional<PaletteEntry> paletteEntry(int index) {
    constexpr auto active = QPalette::Active;
    constexpr auto inactive = QPalette::Inactive;
    static constexpr std::array<std::pair<int, PaletteEntry>, 30> table{{
        {0, {active, QPalette::Mid}},                 // scroll bar
        {1, {active, QPalette::Dark}},                // desktop
        {2, {active, QPalette::Highlight}},           // active caption
        {3, {inactive, QPalette::Highlight}},         // inactive caption
        {4, {active, QPalette::Window}},              // menu
        {5, {active, QPalette::Base}},                // window
        {6, {active, QPalette::WindowText}},          // window frame
        {7, {active, QPalette::WindowText}},          // menu text
        {8, {active, QPalette::Text}},                // window text
        {9, {active, QPalette::HighlightedText}},     // caption text
        {10, {active, QPalette::Button}},             // active border
        {11, {inactive, QPalette::Button}},           // inactive border
        {12, {active, QPalette::Mid}},                // application workspace
        {13, {active, QPalette::Highlight}},          // highlight
        {14, {active, QPalette::HighlightedText}},    // highlight text
        {15, {active, QPalette::Button}},             // button face
        {16, {active, QPalette::Dark}},               // button shadow
        {17, {QPalette::Disabled, QPalette::Text}},   // grey text
        {18, {active, QPalette::ButtonText}},         // button text
        {19, {inactive, QPalette::HighlightedText}},  // inactive caption text
        {20, {active, QPalette::Light}},              // button highlight
        {21, {active, QPalette::Shadow}},             // 3-D dark shadow
        {22, {active, QPalette::Midlight}},           // 3-D light
        {23, {active, QPalette::ToolTipText}},        // tooltip text
        {24, {active, QPalette::ToolTipBase}},        // tooltip background
        {26, {active, QPalette::Link}},               // hot-tracked item
        {27, {active, QPalette::Highlight}},          // active caption gradient
        {28, {inactive, QPalette::Highlight}},        // inactive caption gradient
        {29, {active, QPalette::Highlight}},          // menu highlight
        {30, {active, QPalette::Window}},             // menu bar
    }};
    for (const auto& [known, entry] : table) {
        if (known == index) {
            return entry;
        }
    }
    return std::nullopt;
}

}  // namespace

QColor resolveColour(Colour colour, const QPalette& palette) {
    if (isSystemColour(colour)) {
        const auto entry = paletteEntry(systemColourIndex(colour));
        return entry ? palette.color(entry->group, entry->role) : QColor(Qt::black);
    }
    const auto value = static_cast<std::uint32_t>(colour);
    return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
            static_cast<int>((value >> 16) & 0xFFU)};
}

}  // namespace quorvel
