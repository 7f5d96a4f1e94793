#pragma once

#include <QColor>
#include <QPalette>

#include "platform/Colour.h"

namespace quorvel {

// The colour a value stands for: 0x00BBGGRR as it is, or a system colour (top bit set,
// index in the low byte) from the palette. An index the system does not know is black.
QColor resolveColour(Colour colour, const QPalette& palette);

}  // namespace quorvel
