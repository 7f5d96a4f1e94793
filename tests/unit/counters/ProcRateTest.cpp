#include "platform/linux/ProcRate.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::proc {
namespace {

using Samples = std::vector<KeyedSample>;
constexpr std::int64_t kSecond = 1'000'000'000;

struct RateCase {
    const char* what;
    Samples before;
    Samples after;
    std::int64_t elapsedNs;
    double expected;
};

TEST(ProcRate, RatesCountOnlyWhatWentForwardOnBothSides) {
    const RateCase cases[] = {
        {"steady", {{"a", 1000}}, {{"a", 3000}}, 2 * kSecond, 1000.0},
        {"measured time, not a nominal second", {{"a", 0}}, {{"a", 1500}}, 1'500'000'000, 1000.0},
        {"reset contributes nothing", {{"a", 9000}, {"b", 10}}, {{"a", 10}, {"b", 30}}, kSecond, 20.0},
        {"32-bit wrap contributes nothing", {{"a", 4294967000}}, {{"a", 200}}, kSecond, 0.0},
        {"64-bit counters near the top",
         {{"a", 18446744073709551000U}},
         {{"a", 18446744073709551600U}},
         kSecond,
         600.0},
        {"link appearing waits for its second sample", {{"a", 0}}, {{"a", 10}, {"new", 5000}}, kSecond, 10.0},
        {"link disappearing takes its total with it", {{"a", 0}, {"gone", 100}}, {{"a", 10}}, kSecond, 10.0},
        {"order of contributors may change", {{"a", 1}, {"b", 2}}, {{"b", 4}, {"a", 2}}, kSecond, 3.0},
    };
    for (const RateCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto reading =
            computeReading(CounterKind::Rate, 1.0, std::span<const KeyedSample>(c.before), c.after, c.elapsedNs);
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(reading->status, counter_status::Valid);
        EXPECT_DOUBLE_EQ(reading->value, c.expected);
    }
}

TEST(ProcRate, FirstSampleGivesInvalidDataNotASpike) {
    const Samples after{{"a", 123456789}};
    for (const CounterKind kind : {CounterKind::Rate, CounterKind::TickPercent}) {
        const auto reading = computeReading(kind, 1.0, std::nullopt, after, kSecond);
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(reading->value, 0.0);
        EXPECT_EQ(reading->status, counter_status::InvalidData);
    }
}

TEST(ProcRate, IntervalsWithoutTimeAreSkipped) {
    const Samples before{{"a", 0, 0}};
    const Samples after{{"a", 10, 10}};
    for (const std::int64_t elapsed : {std::int64_t{0}, std::int64_t{-5}}) {
        EXPECT_FALSE(computeReading(CounterKind::Rate, 1.0, std::span<const KeyedSample>(before), after, elapsed));
        EXPECT_FALSE(
            computeReading(CounterKind::TickPercent, 1.0, std::span<const KeyedSample>(before), after, elapsed));
    }
}

TEST(ProcRate, PercentagesOfTicks) {
    const Samples before{{"cpu", 100, 1000}};
    const auto busy =
        computeReading(CounterKind::TickPercent, 1.0, std::span<const KeyedSample>(before), {{{"cpu", 250, 2000}}}, 1);
    ASSERT_TRUE(busy.has_value());
    EXPECT_DOUBLE_EQ(busy->value, 15.0);
    // No tick yet: wait for one rather than show 0 %.
    EXPECT_FALSE(computeReading(CounterKind::TickPercent, 1.0, std::span<const KeyedSample>(before),
                                {{{"cpu", 100, 1000}}}, kSecond));
    // Everything went backwards (a processor came back): 0 and a fresh start.
    const auto reset =
        computeReading(CounterKind::TickPercent, 1.0, std::span<const KeyedSample>(before), {{{"cpu", 5, 9}}}, 1);
    ASSERT_TRUE(reset.has_value());
    EXPECT_EQ(reset->value, 0.0);
    EXPECT_EQ(reset->status, counter_status::Valid);
}

TEST(ProcRate, GaugesNeedNoHistory) {
    const Samples after{{"a", 3, 0}, {"b", 4, 0}};
    const auto sum = computeReading(CounterKind::Gauge, 0.5, std::nullopt, after, 0);
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(sum->value, 3.5);
    EXPECT_EQ(sum->status, counter_status::Valid);
    const auto percent = computeReading(CounterKind::GaugePercent, 1.0, std::nullopt, {{{"m", 1, 4}}}, 0);
    EXPECT_EQ(percent->value, 25.0);
    const auto noBase = computeReading(CounterKind::GaugePercent, 1.0, std::nullopt, {{{"m", 1, 0}}}, 0);
    EXPECT_EQ(noBase->status, counter_status::InvalidData);
}

}  // namespace
}  // namespace quorvel::proc
