#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {

struct SampleOptions {
    std::vector<std::string> paths;
    std::uint32_t intervalMs = 1000;
    std::optional<std::uint64_t> count;  // none: until interrupted
};

// The options of `sample`, or a message saying what is wrong with them.
std::variant<SampleOptions, std::string> parseSampleOptions(InfoArgs args);

}  // namespace quorvel::info
