#include "app/SampleStats.h"

#include <algorithm>
#include <cmath>

#include "app/ValueText.h"

namespace quorvel::samples {

Stats statsOf(const TaggedValue& history) {
    Stats stats;
    const TaggedValue::Array& elements = history.array();
    if (!elements.empty() && !elements.back().isEmpty()) {
        stats.now = elements.back().toDouble();
    }
    double sum = 0.0;
    std::size_t counted = 0;
    for (const TaggedValue& element : elements) {
        if (element.isEmpty()) {
            continue;
        }
        const double v = element.toDouble();
        if (std::isnan(v)) {
            continue;
        }
        stats.largest = stats.largest ? std::max(*stats.largest, v) : v;
        sum += v;
        ++counted;
    }
    if (counted > 0) {
        stats.mean = sum / static_cast<double>(counted);
    }
    return stats;
}

std::size_t indexAt(float x, std::size_t count) {
    const double last = count > 0 ? static_cast<double>(count - 1) : 0.0;
    if (std::isnan(x)) {
        return static_cast<std::size_t>(last);
    }
    const double nearest = std::clamp(std::round(static_cast<double>(x)), 0.0, last);
    return static_cast<std::size_t>(nearest);
}

std::string ageText(std::size_t index, std::size_t count, std::int32_t intervalMs) {
    const std::int64_t steps = count > index ? static_cast<std::int64_t>(count - 1 - index) : 0;
    const std::int64_t ms = steps * std::int64_t{intervalMs};
    if (ms <= 0) {
        return "now";
    }
    if (ms < 10000 && intervalMs % 1000 != 0) {
        const std::int64_t tenths = (ms + 50) / 100;
        return std::to_string(tenths / 10) + std::string(valuetext::decimalPoint()) + std::to_string(tenths % 10) +
               " s ago";
    }
    const std::int64_t seconds = (ms + 500) / 1000;
    if (seconds < 60) {
        return std::to_string(seconds) + " s ago";
    }
    if (seconds < 3600) {
        return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s ago";
    }
    return std::to_string(seconds / 3600) + " h " + std::to_string((seconds / 60) % 60) + " min ago";
}

}  // namespace quorvel::samples
