#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvel::snmp {

// The rate of a counter that an agent refreshes every few seconds rather than at every
// request (net-snmp reloads its interface table every 3 s). An answer then shows the
// counter as it was at the agent's last refresh, which lies somewhere between the answer
// before and this one; dividing by the time between the answers that first showed two
// changes would count up to one poll interval too much or too little, and a steady flow
// would read as dips and bursts. So when the counter moves only every few answers, each
// change counts as one refresh of the agent, and its increase is divided by the agent's
// refresh period, which the times of the recent changes pin down: the k-th refresh after
// an earlier one lies k periods later, and each lies between the answer that first showed
// it and the one before. Where the counter moved at the very next answer twice in a row,
// the agent counts as often as it is asked and the rate is the increase over the time
// between the two answers.
class RefreshedRate {
public:
    // Agents keep their counters for a few seconds (net-snmp: 3 s for interfaces); a
    // counter that stood still for longer counted nothing.
    static constexpr std::int64_t kHoldNs = 6'000'000'000;

    explicit RefreshedRate(std::int64_t holdNs = kHoldNs) : holdNs_(holdNs) {}

    // One answer of the agent at `timeNs` (monotonic): `increase` is what the counter
    // counted since the answer before (contributors that went backwards, came or went add
    // nothing), `moved` whether any contributor changed at all. Returns the new rate per
    // second, or nothing when the rate so far stands (the first answer, an unchanged
    // counter that may be waiting for the agent's refresh, a first change).
    std::optional<double> add(std::int64_t timeNs, std::uint64_t increase, bool moved);

    // Forgets everything: the next answer is a first one.
    void restart();

    // The most changes whose times are kept.
    static constexpr std::size_t kKeptChanges = 11;

private:
    // A change of the counter: the agent refreshed after `afterNs`, at `seenNs` at the latest.
    struct Change {
        std::int64_t afterNs = 0;
        std::int64_t seenNs = 0;
        std::uint64_t count = 0;  // what the counter had counted by then
    };

    [[nodiscard]] double refreshPeriodNs() const;

    std::int64_t holdNs_;
    bool started_ = false;
    std::int64_t lastAnswerNs_ = 0;
    std::int64_t stillSinceNs_ = 0;  // the first answer or the last change
    std::uint64_t count_ = 0;
    std::vector<Change> changes_;
};

}  // namespace quorvel::snmp
