#pragma once

#include <optional>
#include <string_view>

namespace quorvel {

// The parts of a counter path `[\\machine]\Object[(Instance)]\Counter`, as views into
// the text that was parsed.
struct CounterPath {
    std::string_view machine;  // empty when the path names no machine
    std::string_view object;
    std::string_view instance;
    bool hasInstance = false;
    std::string_view counter;
};

// Splits a path into its parts. The counter is what follows the last backslash, so an
// instance may hold backslashes and parentheses of its own (interface names can).
// Returns nothing for text that does not have the form.
std::optional<CounterPath> parseCounterPath(std::string_view path);

}  // namespace quorvel
