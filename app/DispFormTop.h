#pragma once

#include <cstdint>

#include "platform/FormWindow.h"

namespace quorvel::DispFormTop {

// Flag 1 keeps the window in front of all others, 0 releases it; the result is
// nonzero on success. Any other flag changes nothing and gives 0.
std::int32_t SetTopmost(FormWindow& window, std::int16_t flag);

}  // namespace quorvel::DispFormTop
