#include "platform/windows/GdiPenCache.h"

#include <algorithm>
#include <array>
#include <span>

#include "platform/DashPattern.h"

namespace quorvel::win {
namespace {

int nativeStyle(int style) {
    switch (style) {
    case 1: return PS_DASH;
    case 2: return PS_DOT;
    case 3: return PS_DASHDOT;
    case 4: return PS_DASHDOTDOT;
    case 5: return PS_NULL;
    case 6: return PS_INSIDEFRAME;
    default: return PS_SOLID;
    }
}

}  // namespace

HPEN createPen(const PenSpec& look) {
    const int width = look.scale.pixels(std::max(look.width, 1));
    const bool dashed = look.style >= 1 && look.style <= 4 && look.width <= 1;
    if (dashed && look.scale.ratio() != 1.0) {
        // Dashes as long as the system's, times the scale, on a pen that many pixels wide.
        std::array<DWORD, 6> lengths{};
        const std::span<const int> pattern = DashPattern(look.style);
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            lengths.at(i) = static_cast<DWORD>(look.scale.pixels(pattern[i]));
        }
        const LOGBRUSH brush{BS_SOLID, look.colour, 0};
        return ::ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER, static_cast<DWORD>(width),
                              &brush, static_cast<DWORD>(pattern.size()), lengths.data());
    }
    const int style = dashed || look.style < 1 || look.style > 4 ? nativeStyle(look.style) : PS_SOLID;
    return ::CreatePen(style, style == PS_NULL ? 0 : width, look.colour);
}

GdiPenCache::~GdiPenCache() {
    for (Entry& entry : entries_) {
        release(entry.pen);
    }
}

void GdiPenCache::release(GdiObject& pen) {
    if (pen.valid() && ::GetCurrentObject(dc_, OBJ_PEN) == pen.get()) {
        ::SelectObject(dc_, ::GetStockObject(BLACK_PEN));
    }
    pen.reset();
}

void GdiPenCache::select(const PenSpec& look) {
    for (const Entry& entry : entries_) {
        if (entry.look == look) {
            ::SelectObject(dc_, entry.pen.get());
            return;
        }
    }
    GdiObject pen(createPen(look));
    ++created_;
    if (!pen.valid()) {
        ::SelectObject(dc_, ::GetStockObject(NULL_PEN));
        return;
    }
    ::SelectObject(dc_, pen.get());
    if (entries_.size() < capacity) {
        entries_.push_back({look, std::move(pen)});
        return;
    }
    Entry& oldest = entries_[next_];
    release(oldest.pen);
    oldest = {look, std::move(pen)};
    next_ = (next_ + 1) % capacity;
}

}  // namespace quorvel::win
