#include "tools/quorvel-info/SampleOptions.h"

#include <charconv>

namespace quorvel::info {
namespace {

std::optional<std::uint64_t> positive(std::string_view text, std::uint64_t max) {
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size() || value == 0 || value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::variant<SampleOptions, std::string> parseSampleOptions(InfoArgs args) {
    constexpr std::uint64_t kMaxInterval = 86'400'000;  // a day
    SampleOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-i" || arg == "-n") {
            if (i + 1 == args.size()) {
                return std::string(arg) + " needs a value";
            }
            const std::string_view value = args[++i];
            if (arg == "-i") {
                const auto ms = positive(value, kMaxInterval);
                if (!ms) {
                    return "-i wants a whole number of milliseconds from 1 to 86400000, not \"" + std::string(value) +
                           "\"";
                }
                options.intervalMs = static_cast<std::uint32_t>(*ms);
            } else {
                options.count = positive(value, UINT64_MAX);
                if (!options.count) {
                    return "-n wants a whole number of collections, 1 or more, not \"" + std::string(value) + "\"";
                }
            }
        } else if (arg.starts_with('-')) {
            return "unknown option \"" + std::string(arg) + "\"";
        } else {
            options.paths.emplace_back(arg);
        }
    }
    if (options.paths.empty()) {
        return "name at least one counter path";
    }
    return options;
}

}  // namespace quorvel::info
