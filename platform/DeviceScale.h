#pragma once

#include <cmath>

namespace quorvel {

// The rule by which a surface that draws at the screen's device resolution turns the
// platform's pixels (pen widths, border lines, dash lengths, its own size) into device
// pixels: multiplied by the device pixel ratio and rounded to the nearest whole pixel,
// halves up, so a 1-pixel pen is 2 device pixels at 150 % and a 2-pixel pen 3. A length
// of one platform pixel or more never shrinks below one device pixel. At a ratio of 1
// every length stays as it is.
class DeviceScale {
public:
    DeviceScale() = default;
    // A ratio that is not a positive number counts as 1.
    explicit DeviceScale(double ratio) : ratio_(ratio > 0.0 && std::isfinite(ratio) ? ratio : 1.0) {}

    [[nodiscard]] double ratio() const noexcept { return ratio_; }

    [[nodiscard]] int pixels(int platformPixels) const {
        if (platformPixels <= 0) {
            return platformPixels;
        }
        constexpr double largest = 1 << 24;
        const double scaled = std::floor(static_cast<double>(platformPixels) * ratio_ + 0.5);
        return scaled < 1.0 ? 1 : static_cast<int>(std::fmin(scaled, largest));
    }

    friend bool operator==(const DeviceScale&, const DeviceScale&) = default;

private:
    double ratio_ = 1.0;
};

}  // namespace quorvel
