#include "platform/linux/ProcRate.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace quorvel::proc {
namespace {

using Samples = std::vector<KeyedSample>;

// The reading as "value status", or "skip". The fixture trees drive the common cases
// through the whole source; these are the edges they do not reach.
std::string reading(CounterKind kind, const std::optional<Samples>& before, const Samples& after, std::int64_t ns,
                    double scale = 1.0) {
    const auto r = computeReading(
        kind, scale, before ? std::optional<std::span<const KeyedSample>>(*before) : std::nullopt, after, ns);
    std::ostringstream s;
    s << (r ? r->value : 0) << (!r ? " skip" : r->status == counter_status::Valid ? " valid" : " invalid");
    return s.str();
}

TEST(ProcRate, EdgesOfTheArithmetic) {
    constexpr std::int64_t kSecond = 1'000'000'000;
    EXPECT_EQ(reading(CounterKind::Rate, Samples{{"a", 0}}, {{"a", 1500}}, 1'500'000'000), "1000 valid");
    EXPECT_EQ(
        reading(CounterKind::Rate, Samples{{"a", 18446744073709551000U}}, {{"a", 18446744073709551600U}}, kSecond),
        "600 valid");
    EXPECT_EQ(reading(CounterKind::Rate, Samples{{"a", 1}, {"b", 2}}, {{"b", 4}, {"a", 2}}, kSecond), "3 valid");
    EXPECT_EQ(reading(CounterKind::Rate, Samples{{"a", 0}}, {{"a", 10}}, -5), "0 skip");
    EXPECT_EQ(reading(CounterKind::TickPercent, Samples{{"c", 0, 0}}, {{"c", 10, 10}}, 0), "0 skip");
    // No tick went by: wait for one rather than show 0 %.
    EXPECT_EQ(reading(CounterKind::TickPercent, Samples{{"c", 100, 1000}}, {{"c", 100, 1000}}, kSecond), "0 skip");
    EXPECT_EQ(reading(CounterKind::TickPercent, std::nullopt, {{"c", 100, 1000}}, kSecond), "0 invalid");
    EXPECT_EQ(reading(CounterKind::Gauge, std::nullopt, {{"a", 3}, {"b", 4}}, 0, 0.5), "3.5 valid");
    EXPECT_EQ(reading(CounterKind::GaugePercent, std::nullopt, {{"m", 1, 4}}, 0), "25 valid");
    EXPECT_EQ(reading(CounterKind::GaugePercent, std::nullopt, {{"m", 1, 0}}, 0), "0 invalid");
}

}  // namespace
}  // namespace quorvel::proc
