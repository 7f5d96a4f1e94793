#pragma once

#include "platform/windows/ScopedHandle.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel::win {

// A pen, brush, bitmap or font; it must no longer be selected into a DC when it goes.
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle none() { return nullptr; }
    static void close(Handle h) { ::DeleteObject(h); }
};

// A memory DC made with CreateCompatibleDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static void close(Handle h) { ::DeleteDC(h); }
};

using GdiObject = ScopedHandle<GdiObjectTraits>;
using MemoryDc = ScopedHandle<MemoryDcTraits>;

}  // namespace quorvel::win
