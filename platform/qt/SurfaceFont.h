#pragma once

#include <QFont>

#include "platform/FontObject.h"

namespace quorvel {

// A surface's font as the platform's font object describes it, and back.
FontObject fontObjectOf(const QFont& font);
QFont qFontOf(const FontObject& object);

}  // namespace quorvel
