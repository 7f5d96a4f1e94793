#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/ValueSource.h"

// Counter arithmetic: pure functions from samples and elapsed time to a reading.
namespace quorvel::proc {

// One contributor to a counter (an interface, a processor, a disk) at one collection.
// `part` is the counted quantity; `whole` is the base of a percentage, when there is one.
struct KeyedSample {
    std::string key;
    std::uint64_t part = 0;
    std::uint64_t whole = 0;
};

struct Increase {
    std::uint64_t part = 0;
    std::uint64_t whole = 0;
    std::size_t contributors = 0;  // present in both samples and not gone backwards
};

// Sum of the increases of the contributors present in both samples. One that went
// backwards (reset, wrap, re-created link) or that is in only one sample adds nothing.
Increase sumIncreases(std::span<const KeyedSample> before, std::span<const KeyedSample> after);

enum class CounterKind {
    Gauge,         // sum of parts, times the scale
    GaugePercent,  // 100 * sum of parts / sum of wholes
    Rate,          // increase of the parts per second, times the scale
    TickPercent,   // 100 * increase of the parts / increase of the wholes
};

struct Reading {
    double value = 0.0;
    CounterStatus status = counter_status::InvalidData;
};

// The reading after a collection. `before` is the previous sample of the same counter,
// absent after the first collection; `elapsedNs` is the measured time between them.
// Nothing is returned when the interval has to be skipped (no time or no ticks went by):
// the previous reading and sample then stay.
std::optional<Reading> computeReading(CounterKind kind, double scale,
                                      std::optional<std::span<const KeyedSample>> before,
                                      std::span<const KeyedSample> after, std::int64_t elapsedNs);

}  // namespace quorvel::proc
