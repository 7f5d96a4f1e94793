#include "platform/windows/WinFormHost.h"

#include <cmath>

#include "platform/windows/SystemHeaders.h"

namespace quorvel {
namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

FontRef WinFormHost::ambientFont() const {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) == FALSE) {
        return std::make_shared<const FontObject>(FontObject{});
    }
    const LOGFONTA& font = metrics.lfMessageFont;
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    const double points = font.lfHeight != 0 ? std::fabs(font.lfHeight) * kPointsPerInch / dpi : FontObject{}.size;
    return std::make_shared<const FontObject>(FontObject{.name = font.lfFaceName,
                                                         .size = points,
                                                         .weight = static_cast<std::int16_t>(font.lfWeight),
                                                         .charset = static_cast<std::int16_t>(font.lfCharSet),
                                                         .italic = font.lfItalic != 0,
                                                         .underline = font.lfUnderline != 0,
                                                         .strikethrough = font.lfStrikeOut != 0});
}

}  // namespace quorvel
