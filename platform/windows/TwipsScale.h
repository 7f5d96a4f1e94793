#pragma once

#include <cmath>

namespace quorvel {

// Twips (1/1440 inch) and the pixels of a screen with the given logical pixels per inch.
// A resolution that is not positive counts as the system's default of 96.
class TwipsScale {
public:
    static constexpr double kTwipsPerInch = 1440.0;
    static constexpr int kDefaultDpi = 96;

    TwipsScale(int dpiX, int dpiY) : dpiX_(dpiX > 0 ? dpiX : kDefaultDpi), dpiY_(dpiY > 0 ? dpiY : kDefaultDpi) {}

    // The scale of the main window's placement. Twips are saved at quit and applied at the
    // next start, possibly with the window on another monitor or with other monitors
    // attached, so they take one resolution for the whole process: the system's, fixed
    // when the process started. The resolution of the monitor the window is on counts only
    // where the system reports none.
    static TwipsScale ForPlacement(int systemDpi, int monitorDpi) {
        const int dpi = systemDpi > 0 ? systemDpi : monitorDpi;
        return {dpi, dpi};
    }

    [[nodiscard]] double toPixelsX(double twips) const { return twips * dpiX_ / kTwipsPerInch; }
    [[nodiscard]] double toPixelsY(double twips) const { return twips * dpiY_ / kTwipsPerInch; }
    [[nodiscard]] double toTwipsX(double pixels) const { return pixels * kTwipsPerInch / dpiX_; }
    [[nodiscard]] double toTwipsY(double pixels) const { return pixels * kTwipsPerInch / dpiY_; }

    // Whole pixels, halves away from zero; far beyond any screen stays far beyond it.
    [[nodiscard]] static int whole(double pixels) {
        constexpr double largest = 1 << 24;
        return static_cast<int>(std::lround(std::fmax(-largest, std::fmin(pixels, largest))));
    }

private:
    int dpiX_;
    int dpiY_;
};

}  // namespace quorvel
