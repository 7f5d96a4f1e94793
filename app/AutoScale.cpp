#include "app/AutoScale.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/PowerOfTen.h"
#include "common/Text.h"

namespace quorvel::autoscale {
namespace {

constexpr std::array<double, 3> kSteps{1.0, 2.0, 5.0};

}  // namespace

bool isAuto(const TaggedValue& value) {
    if (!value.isText()) {
        return false;
    }
    std::string_view s = value.text();
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return text::equalsIgnoreCase(s, "auto");
}

double topFor(double peak) {
    if (!(peak > 1.0)) {  // NaN, negative, zero and 1 itself
        return 1.0;
    }
    if (peak >= kTopCap) {
        return kTopCap;
    }
    for (int k = 0;; ++k) {
        const double base = powerOfTen(k);
        for (const double step : kSteps) {
            if (step * base >= peak) {
                return step * base;
            }
        }
    }
}

double peakOf(const TaggedValue& history) {
    double peak = 0.0;
    bool any = false;
    for (const TaggedValue& element : history.array()) {
        const double v = element.toDouble();  // empty reads as 0
        if (std::isnan(v)) {
            continue;
        }
        peak = any ? std::max(peak, v) : v;
        any = true;
    }
    return peak;
}

double barIntervalFor(double top) {
    const double quarter = top / 4.0;
    if (!(quarter > 0.0) || std::isinf(quarter)) {
        return 0.0;
    }
    const int k = static_cast<int>(std::floor(std::log10(quarter)));
    double best = 0.0;
    // The neighbouring decades as well, against rounding in the logarithm.
    for (int d = k - 1; d <= k + 1; ++d) {
        const double base = powerOfTen(d);
        for (const double step : kSteps) {
            const double candidate = step * base;
            if (candidate <= quarter * (1.0 + 1e-12)) {
                best = std::max(best, candidate);
            }
        }
    }
    return best;
}

std::int64_t barCount(double top, const TaggedValue& interval) {
    // The grid's own conversions: it steps from the top by minus the rounded interval.
    const std::int64_t start = TaggedValue(top).toInt32();
    const std::int64_t step = -std::int64_t{TaggedValue(-interval.toDouble()).toInt32()};
    if (step > 0) {
        return start >= 0 ? start / step + 1 : 0;
    }
    if (start > 0) {
        return 0;
    }
    return step == 0 ? 1 : -start / -step + 1;
}

}  // namespace quorvel::autoscale
