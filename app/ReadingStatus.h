#pragma once

#include <optional>
#include <string>

#include "platform/ValueSource.h"

namespace quorvel {

// Why a counter has no value to show, from the status of its query (the failure of
// adding it, else its last reading's): "no such counter", "no answer from host" or
// "no value yet"; none for a valid reading. A machine that does not answer shows up
// as a reading without data for a path that names another machine.
std::optional<std::string> missingValueReason(CounterStatus status, bool otherMachine);

}  // namespace quorvel
