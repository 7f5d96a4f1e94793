#pragma once

#include <cstdint>

namespace quorvel {

// Raises the invalid-value error that a surface property gives for a value it refuses.
[[noreturn]] void refuseProperty(const char* property);

// The value when it lies in [low, high]; otherwise the property's invalid-value error.
std::int16_t checkedRange(const char* property, std::int16_t value, int low, int high);

}  // namespace quorvel
