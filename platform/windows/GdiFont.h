#pragma once

#include "platform/FontObject.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel::win {

// A surface's font as the system's logical font describes it, and back, on a screen of
// `dpi` pixels per inch. The face name is UTF-8 in the font object.
FontObject fontObjectOf(const LOGFONTW& font, int dpi);
LOGFONTW logFontOf(const FontObject& font, int dpi);

}  // namespace quorvel::win
