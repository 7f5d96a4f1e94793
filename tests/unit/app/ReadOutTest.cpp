#include <clocale>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "GadgetFixture.h"
#include "app/AutoScale.h"
#include "app/CounterName.h"
#include "app/ReadingStatus.h"
#include "app/SampleStats.h"
#include "app/ValueText.h"
#include "support/TestLocales.h"

// The scale that follows the traffic and the graph's read-out.
namespace quorvel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(AutoScale, TopIsTheSmallestOneTwoFiveStepNotBelowThePeakBarsAFifthOrAQuarterOfIt) {
    // {name, peak, top}
    const std::vector<std::tuple<const char*, double, double>> table = {
        {"NaN", kNaN, 1},          {"below one", 0.3, 1},        {"on a 2 step", 2000, 2000},
        {"on a 5 step", 5e8, 5e8}, {"just above", 1000.5, 2000}, {"above 2", 2001, 5000},
        {"above 5", 5001, 10000},  {"at the cap", 2e9, 2e9},     {"infinite", kInf, 2e9},
    };
    for (const auto& [name, peak, top] : table) {
        EXPECT_EQ(autoscale::topFor(peak), top) << name;
    }
    // Empty elements count as 0, NaN ones are left out.
    EXPECT_EQ(autoscale::peakOf(TaggedValue::Array{TaggedValue(), kNaN, 3.0, -1.0}), 3.0);
    EXPECT_EQ(autoscale::peakOf(TaggedValue::Array{kNaN, 3.0}), 3.0);
    // {top, bar interval}: a fifth, or a quarter on the 2 steps.
    const std::vector<std::pair<double, double>> intervals = {{1, 0.2},     {2, 0.5}, {5000, 1000}, {2e9, 5e8},
                                                              {9000, 2000}, {7, 1},   {0, 0}};
    for (const auto& [top, interval] : intervals) {
        EXPECT_EQ(autoscale::barIntervalFor(top), interval) << "top " << top;
    }
    EXPECT_TRUE(autoscale::isAuto(TaggedValue(" AuTo\t")));
    EXPECT_FALSE(autoscale::isAuto(TaggedValue("auto1")));
}

TEST(ValueText, UnitsAndThreeSignificantDigits) {
    using valuetext::Unit;
    // Bytes a second, with the bits a second after them.
    const std::vector<std::pair<double, const char*>> rates = {
        {999, "999 B/s \xC2\xB7 7.99 kbit/s"},       {1000, "1.00 kB/s \xC2\xB7 8.00 kbit/s"},
        {999499, "999 kB/s \xC2\xB7 8.00 Mbit/s"},   {999500, "1.00 MB/s \xC2\xB7 8.00 Mbit/s"},
        {1.2e9, "1.20 GB/s \xC2\xB7 9.60 Gbit/s"},   {0, "0 B/s \xC2\xB7 0 bit/s"},
        {-1250, "-1.25 kB/s \xC2\xB7 -10.0 kbit/s"}, {kNaN, "\xE2\x80\x94"}};
    for (const auto& [value, text] : rates) {
        EXPECT_EQ(valuetext::formatWithBits(value, Unit::BytesPerSecond), text) << value;
    }
    const std::vector<std::tuple<double, Unit, const char*>> others = {
        {12.345, Unit::Percent, "12.3 %"}, {0.5, Unit::Plain, "0.500"},    {1250, Unit::Plain, "1.25k"},
        {999.5, Unit::Plain, "1.00k"},     {3.4e12, Unit::Plain, "3.40T"},
    };
    for (const auto& [value, unit, text] : others) {
        EXPECT_EQ(valuetext::formatWithBits(value, unit), text) << value;
    }
    const std::vector<std::pair<const char*, Unit>> names = {
        {"\\Network Interface(lo)\\Bytes Received/sec", Unit::BytesPerSecond},
        {"\\\\h\\Disk\\bytes per second", Unit::BytesPerSecond},
        {"\\Processor(_Total)\\% Processor Time", Unit::Percent},
        {"\\Network Interface(lo)\\Packets/sec", Unit::Plain},
    };
    for (const auto& [path, unit] : names) {
        EXPECT_EQ(valuetext::unitOfCounter(path), unit) << path;
    }
    if (std::setlocale(LC_NUMERIC, test::decimalCommaLocale()) != nullptr) {
        EXPECT_EQ(valuetext::format(1250, Unit::BytesPerSecond), "1,25 kB/s");
        EXPECT_EQ(samples::ageText(7, 10, 1200), "2,4 s ago");
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(ReadOutText, SampleUnderThePointerItsAgeTheNameAndWhyAValueIsMissing) {
    // {x, samples, index}
    const std::vector<std::tuple<float, std::size_t, std::size_t>> table = {
        {-3.0F, 10, 0},        {0.49F, 10, 0},           {4.5F, 10, 5},
        {9.6F, 10, 9},         {100.0F, 10, 9},          {0.0F, 32767, 0},
        {40000, 32767, 32766}, {16383.5F, 32767, 16384}, {32766.4F, 32767, 32766}};
    for (const auto& [x, count, index] : table) {
        EXPECT_EQ(samples::indexAt(x, count), index) << "x " << x << " of " << count;
    }
    // {index, samples, interval, text}
    EXPECT_EQ(samples::ageText(9, 10, 1000), "now");
    const std::vector<std::tuple<std::size_t, std::size_t, std::int32_t, const char*>> ages = {
        {8, 10, 1000, "1 s ago"},          {0, 10, 1000, "9 s ago"},       {7, 10, 1200, "2.4 s ago"},
        {0, 11, 1500, "15 s ago"},         {0, 61, 1000, "1 min 0 s ago"}, {0, 200, 1000, "3 min 19 s ago"},
        {0, 32767, 1000, "9 h 6 min ago"},
    };
    for (const auto& [index, count, interval, text] : ages) {
        EXPECT_EQ(samples::ageText(index, count, interval), text) << text;
    }
    const std::vector<std::pair<const char*, const char*>> names = {
        {"\\Network Interface(lo)\\Bytes Received/sec", "lo \xE2\x80\x94 Bytes Received/sec"},
        {"\\\\router\\Network Interface(eth0)\\Bytes Sent/sec", "eth0 \xE2\x80\x94 Bytes Sent/sec on router"},
        {"\\\\.\\Processor(_Total)\\% Processor Time", "_Total \xE2\x80\x94 % Processor Time"},
        {"no path", "no path"},
    };
    for (const auto& [path, name] : names) {
        EXPECT_EQ(shortCounterName(path), name) << path;
    }
    // {status, of another machine, reason}
    const std::vector<std::tuple<CounterStatus, bool, std::optional<std::string>>> reasons = {
        {counter_status::Valid, false, std::nullopt},
        {counter_status::NoCounter, true, "no such counter"},
        {counter_status::NoMachine, true, "no answer from host"},
        {counter_status::NoData, true, "no answer from host"},
        {counter_status::NoData, false, "no value yet"},
        {counter_status::InvalidData, true, "no value yet"},
    };
    for (const auto& [status, otherMachine, reason] : reasons) {
        EXPECT_EQ(missingValueReason(status, otherMachine), reason) << std::hex << status;
    }
}

class AutoScaleCycle : public GadgetFixture {
protected:
    // The values of the horizontal bars drawn since the last clear, top first.
    [[nodiscard]] std::vector<float> horizontalBars() const {
        std::vector<float> ys;
        for (const auto& op : surface.opsOf(testing::RecordingSurface::OpKind::Line)) {
            if (op.from.y == op.to.y && op.from.x != op.to.x) {
                ys.push_back(op.from.y);
            }
        }
        return ys;
    }
};

TEST_F(AutoScaleCycle, TopRisesAtOnceAndFallsWhenThePeakHasScrolledOff) {
    writeIni("Bunkaino=3\nMax=auto\nBarXInterval=auto\n");
    start();
    MinGraph& graph = form->Graph();
    EXPECT_EQ(graph.Max(), 1.0);
    // {step, red, green, top, bars}
    const std::vector<std::tuple<std::string, double, double, double, std::vector<float>>> steps = {
        {"the peak arrives", 1500, 10, 2000, {2000, 1500, 1000, 500, 0}},
        {"one tick on", 10, 10, 2000, {2000, 1500, 1000, 500, 0}},
        {"still on the graph", 10, 0, 2000, {2000, 1500, 1000, 500, 0}},
        {"scrolled off", 8, 0, 10, {10, 8, 6, 4, 2, 0}},
    };
    for (const auto& [step, red, green, top, bars] : steps) {
        host.changes.clear();
        tick(red, green);
        EXPECT_EQ(graph.Max(), top) << step;
        EXPECT_EQ(horizontalBars(), bars) << step;
        // The top is written, and the host told, only when it changes.
        const bool told = std::find(host.changes.begin(), host.changes.end(), "Max") != host.changes.end();
        EXPECT_EQ(told, step == "the peak arrives" || step == "scrolled off") << step;
    }
    // The sum counts while it is drawn.
    env.settings().SetiniValue("NotShowSum", "True");
    tick(600, 600);
    EXPECT_EQ(graph.Max(), 2000.0);
    env.settings().SetiniValue("NotShowSum", "False");
    tick(600, 600);
    EXPECT_EQ(graph.Max(), 1000.0);
}

// "auto" is written back as it was read.
TEST_F(AutoScaleCycle, NumericIntervalUnderAnAutomaticTopDrawsAtMostTwentyBars) {
    writeIni("Bunkaino=2\nMax = AUTO \nBarXInterval=100\n");
    start();
    tick(1900, 0);  // top 2000: 21 bars
    EXPECT_TRUE(horizontalBars().empty());
    tick(1000, 0);
    tick(1000, 0);  // top 1000: 11 bars
    EXPECT_EQ(horizontalBars().size(), 11U);
    EXPECT_TRUE(form->Graph().BarX());
    window.fireClose();
    EXPECT_NE(files.contents(kIni).find("\nMax = AUTO \n"), std::string::npos) << files.contents(kIni);
}

TEST_F(AutoScaleCycle, ReadOutTellsEachLineAndTheScale) {
    writeIni(
        "Bunkaino=4\nMax=auto\nBarXInterval=auto\nLineColorSum=-1\n"
        "RedLineSource=\\\\router\\Network Interface(eth0)\\Bytes Sent/sec\n"
        "GreenLineSource=\\Network Interface(lo)\\Bytes Received/sec\n");
    start();
    const std::string red = "eth0 \xE2\x80\x94 Bytes Sent/sec on router";
    const std::string green = "lo \xE2\x80\x94 Bytes Received/sec";
    env.settings().SetiniValue("NotShowSum", "True");
    counters.readings[kRed] = {0, counter_status::NoData};  // the router does not answer
    counters.readings[kGreen] = {1.25e6, counter_status::Valid};
    timer.fire();
    tick(0, 0.5e6);
    const std::string half = "500 kB/s \xC2\xB7 4.00 Mbit/s";
    const std::vector<ReadOutLine> after = {
        {128, false, red},
        {std::nullopt, true, "now 0 B/s \xC2\xB7 0 bit/s"},
        {std::nullopt, true, "max 0 B/s \xC2\xB7 mean 0 B/s"},
        {std::nullopt, true, "1 s ago: 0 B/s \xC2\xB7 0 bit/s"},
        {32768, false, green},
        {std::nullopt, true, "now " + half},
        {std::nullopt, true, "max 1.25 MB/s \xC2\xB7 mean 875 kB/s"},
        {std::nullopt, true, "1 s ago: 1.25 MB/s \xC2\xB7 10.0 Mbit/s"},
        {form->Graph().ForeColor(), false, "Sum"},
        {std::nullopt, true, "now " + half},
        {std::nullopt, true, "max 1.25 MB/s \xC2\xB7 mean 875 kB/s"},
        {std::nullopt, true, "1 s ago: 1.25 MB/s \xC2\xB7 10.0 Mbit/s"},
        {std::nullopt, false, "top 2.00 MB/s \xC2\xB7 bars every 500 kB/s"},
    };
    EXPECT_EQ(tip.at(2.4F), after);
    counters.readings[kRed] = {0, counter_status::NoData};
    timer.fire();
    EXPECT_EQ(tip.at(3)[1].text, "now \xE2\x80\x94 no answer from host");
}

}  // namespace
}  // namespace quorvel
