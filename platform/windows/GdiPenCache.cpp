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

HPEN createPen(const PenSpec& spec) {
    const int width = spec.scale.pixels(std::max(spec.width, 1));
    const bool dashed = spec.style >= 1 && spec.style <= 4 && spec.width <= 1;
    if (dashed && spec.scale.ratio() != 1.0) {
        // Dashes as long as the system's, times the scale, on a pen that many pixels wide.
        std::array<DWORD, 6> lengths{};
        const std::span<const int> pattern = DashPattern(spec.style);
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            lengths.at(i) = static_cast<DWORD>(spec.scale.pixels(pattern[i]));
        }
        const LOGBRUSH brush{BS_SOLID, spec.colour, 0};
        return ::ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER, static_cast<DWORD>(width),
                              &brush, static_cast<DWORD>(pattern.size()), lengths.data());
    }
    const int style = dashed || spec.style < 1 || spec.style > 4 ? nativeStyle(spec.style) : PS_SOLID;
    return ::CreatePen(style, style == PS_NULL ? 0 : width, spec.colour);
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

void GdiPenCache::select(const PenSpec& spec) {
    for (const Entry& entry : entries_) {
        if (entry.spec == spec) {
            ::SelectObject(dc_, entry.pen.get());
            return;
        }
    }
    GdiObject pen(createPen(spec));
    ++created_;
    if (!pen.valid()) {
        ::SelectObject(dc_, ::GetStockObject(NULL_PEN));
        return;
    }
    ::SelectObject(dc_, pen.get());
    if (entries_.size() < capacity) {
        entries_.push_back({spec, std::move(pen)});
        return;
    }
    Entry& oldest = entries_[next_];
    release(oldest.pen);
    oldest = {spec, std::move(pen)};
    next_ = (next_ + 1) % capacity;
}

}  // namespace quorvel::win
