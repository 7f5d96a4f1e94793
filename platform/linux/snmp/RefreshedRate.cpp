#include "platform/linux/snmp/RefreshedRate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvel::snmp {

void RefreshedRate::restart() {
    started_ = false;
    count_ = 0;
    changes_.clear();
}

double RefreshedRate::refreshPeriodNs() const {
    // The k-th change after change j came k refresh periods later. Each pair of changes
    // bounds the period; the longest run of recent changes whose bounds still meet is
    // taken (one missed, or a new period, breaks the run).
    const std::size_t newest = changes_.size() - 1;
    double low = 0.0;
    double high = std::numeric_limits<double>::infinity();
    std::size_t first = newest;
    while (first > 0) {
        const std::size_t j = first - 1;
        double runLow = low;
        double runHigh = high;
        for (std::size_t k = first; k <= newest; ++k) {
            const auto steps = static_cast<double>(k - j);
            runLow = std::max(runLow, static_cast<double>(changes_[k].afterNs - changes_[j].seenNs) / steps);
            runHigh = std::min(runHigh, static_cast<double>(changes_[k].seenNs - changes_[j].afterNs) / steps);
        }
        if (runLow > runHigh) {
            break;
        }
        low = runLow;
        high = runHigh;
        first = j;
    }
    if (newest - first < 2) {
        // Over one refresh the period may be anything up to its longest: the longest
        // reads low rather than high.
        return high;
    }
    // Over more, the middle of what remains. Agents keep their counters for whole seconds
    // (net-snmp's cache timeouts are seconds): where the bounds leave exactly one whole
    // second and it is no shorter than the middle, it is taken, which never reads higher.
    const double middle = (low + high) / 2.0;
    const double whole = std::ceil(low / 1e9);
    if (whole >= 1.0 && whole == std::floor(high / 1e9) && whole * 1e9 >= middle) {
        return whole * 1e9;
    }
    return middle;
}

std::optional<double> RefreshedRate::add(std::int64_t timeNs, std::uint64_t increase, bool moved) {
    if (!started_) {
        started_ = true;
        lastAnswerNs_ = timeNs;
        stillSinceNs_ = timeNs;
        return std::nullopt;
    }
    const std::int64_t afterNs = lastAnswerNs_;
    if (timeNs <= afterNs) {
        return std::nullopt;
    }
    lastAnswerNs_ = timeNs;
    count_ += increase;
    if (!moved) {
        if (timeNs - stillSinceNs_ < holdNs_) {
            return std::nullopt;
        }
        // Longer than any refresh: nothing was counted. The changes before no longer tell
        // the agent's period, since refreshes went by unseen.
        changes_.clear();
        return 0.0;
    }
    stillSinceNs_ = timeNs;
    if (changes_.size() == kKeptChanges) {
        changes_.erase(changes_.begin());
    }
    changes_.push_back({afterNs, timeNs, count_});
    if (changes_.size() < 2) {
        return std::nullopt;
    }
    const Change& before = changes_[changes_.size() - 2];
    const auto counted = static_cast<double>(count_ - before.count);
    // Moved at the next answer twice in a row: the agent counts at least as often as it is
    // asked. (Once may be an answer that came just after a refresh following one just before.)
    if (afterNs == before.seenNs && changes_.size() >= 3 && before.afterNs == changes_[changes_.size() - 3].seenNs) {
        return counted * 1e9 / static_cast<double>(timeNs - before.seenNs);
    }
    return counted * 1e9 / refreshPeriodNs();
}

}  // namespace quorvel::snmp
