#pragma once

#include <cstdint>
#include <initializer_list>

#include "common/TaggedValue.h"

// The scale that follows the traffic: "Max" and "BarXInterval" may hold the text auto.
namespace quorvel::autoscale {

// The highest top the scale takes. The grid converts the top to a 32-bit integer, so
// the top stays well inside that range; larger samples are clipped at the top edge.
inline constexpr double kTopCap = 2e9;

// True when a settings value is the text auto, in any letter case, blanks around ignored.
bool isAuto(const TaggedValue& value);

// The smallest 1, 2 or 5 x 10^k not below `peak`, never below 1 and never above the cap.
// A NaN peak counts as 0.
double topFor(double peak);

// The largest sample of a history as it is drawn: empty elements count as 0, NaN
// elements are left out. 0 for a history without elements.
double peakOf(const TaggedValue& history);

// The largest 1, 2 or 5 x 10^k not above a quarter of `top` (for a 1-2-5 top that is
// its fifth or its quarter); 0 when there is none.
double barIntervalFor(double top);

// The horizontal bars the grid draws for this top and interval, the bottom edge included.
std::int64_t barCount(double top, const TaggedValue& interval);

}  // namespace quorvel::autoscale
