#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/TaggedValue.h"

// What the read-out says about one history: its numbers, and the sample under the pointer.
namespace quorvel::samples {

// Over the elements a tick has written (empty ones do not count; NaN ones count only
// as the newest): the newest, the largest and the mean. Unset when there is none.
struct Stats {
    std::optional<double> now;
    std::optional<double> largest;
    std::optional<double> mean;
};
Stats statsOf(const TaggedValue& history);

// The index of the sample under a pointer at logical x: x rounded to the nearest
// index, within 0 to count - 1 (count at least 1).
std::size_t indexAt(float x, std::size_t count);

// How long before the newest sample the one at `index` was taken, at one sample every
// `intervalMs` milliseconds: "now", "2.4 s ago", "12 s ago", "3 min 5 s ago".
std::string ageText(std::size_t index, std::size_t count, std::int32_t intervalMs);

}  // namespace quorvel::samples
