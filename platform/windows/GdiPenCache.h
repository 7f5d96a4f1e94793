#pragma once

#include <cstddef>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/windows/GdiHandles.h"

namespace quorvel::win {

// The pen a line is drawn with, as the surface describes it: colour, width in the
// platform's pixels, the surface's pen style (0 solid, 1-4 dashed, 5 invisible, 6 inside
// solid) and the device scale that turns widths and dash lengths into device pixels.
struct PenSpec {
    COLORREF colour = 0;
    int width = 1;
    int style = 0;
    DeviceScale scale;

    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

// Keeps the last few pens made, so that a redraw with a handful of colours creates no
// pen after the first one, and selects them into one DC. Dashes exist only for a pen one
// platform pixel wide; a wider one draws them solid, as the image surface does. A pen
// that is dropped, and every pen when the cache goes, is first taken out of the DC.
class GdiPenCache {
public:
    static constexpr std::size_t capacity = 8;

    explicit GdiPenCache(HDC dc) : dc_(dc) {}
    GdiPenCache(const GdiPenCache&) = delete;
    GdiPenCache& operator=(const GdiPenCache&) = delete;
    GdiPenCache(GdiPenCache&&) = delete;
    GdiPenCache& operator=(GdiPenCache&&) = delete;
    ~GdiPenCache();

    // Selects the pen into the DC, making it when none is kept.
    void select(const PenSpec& look);
    // How many pens have been made so far.
    [[nodiscard]] std::size_t created() const noexcept { return created_; }

private:
    struct Entry {
        PenSpec look;
        GdiObject pen;
    };

    void release(GdiObject& pen);

    HDC dc_;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;  // the entry to replace when all are taken
    std::size_t created_ = 0;
};

// A new pen of that width, style and colour; the caller owns it.
HPEN createPen(const PenSpec& look);

}  // namespace quorvel::win
