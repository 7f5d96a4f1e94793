#include "platform/linux/ProcRate.h"

namespace quorvel::proc {
namespace {

const KeyedSample* findKey(std::span<const KeyedSample> samples, std::size_t hint, const std::string& key) {
    if (hint < samples.size() && samples[hint].key == key) {
        return &samples[hint];
    }
    for (const KeyedSample& s : samples) {
        if (s.key == key) {
            return &s;
        }
    }
    return nullptr;
}

}  // namespace

Increase sumIncreases(std::span<const KeyedSample> before, std::span<const KeyedSample> after) {
    Increase total;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const KeyedSample* old = findKey(before, i, after[i].key);
        if (old == nullptr || after[i].part < old->part || after[i].whole < old->whole) {
            continue;
        }
        total.part += after[i].part - old->part;
        total.whole += after[i].whole - old->whole;
        ++total.contributors;
    }
    return total;
}

std::optional<Reading> computeReading(CounterKind kind, double scale,
                                      std::optional<std::span<const KeyedSample>> before,
                                      std::span<const KeyedSample> after, std::int64_t elapsedNs) {
    switch (kind) {
    case CounterKind::Gauge: {
        double sum = 0.0;
        for (const KeyedSample& s : after) {
            sum += static_cast<double>(s.part);
        }
        return Reading{sum * scale, counter_status::Valid};
    }
    case CounterKind::GaugePercent: {
        std::uint64_t part = 0;
        std::uint64_t whole = 0;
        for (const KeyedSample& s : after) {
            part += s.part;
            whole += s.whole;
        }
        if (whole == 0) {
            return Reading{0.0, counter_status::InvalidData};
        }
        return Reading{100.0 * static_cast<double>(part) / static_cast<double>(whole), counter_status::Valid};
    }
    case CounterKind::Rate:
    case CounterKind::TickPercent: break;
    }
    if (!before) {
        return Reading{0.0, counter_status::InvalidData};
    }
    if (elapsedNs <= 0) {
        return std::nullopt;
    }
    const Increase inc = sumIncreases(*before, after);
    if (kind == CounterKind::Rate) {
        const double seconds = static_cast<double>(elapsedNs) / 1e9;
        return Reading{static_cast<double>(inc.part) * scale / seconds, counter_status::Valid};
    }
    if (inc.whole == 0) {
        // Too short for a tick: wait for one. With no contributor left to compare
        // there is nothing to wait for.
        if (inc.contributors > 0) {
            return std::nullopt;
        }
        return Reading{0.0, counter_status::Valid};
    }
    return Reading{100.0 * static_cast<double>(inc.part) / static_cast<double>(inc.whole), counter_status::Valid};
}

}  // namespace quorvel::proc
