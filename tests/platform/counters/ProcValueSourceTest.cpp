#include "platform/linux/ProcValueSource.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "FixtureRoot.h"

namespace quorvel {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

class ProcSourceOn : public ::testing::Test {
protected:
    void use(const std::string& scenario) {
        root_ = std::make_unique<test::FixtureRoot>(scenario);
        source_ = std::make_unique<ProcValueSource>(root_->path(), [this] { return now_; });
        ASSERT_EQ(source_->openQuery(query_), counter_status::Valid);
    }
    CounterHandle add(const std::string& path, QueryHandle query = 0) {
        CounterHandle handle = 0;
        EXPECT_EQ(source_->addCounter(query == 0 ? query_ : query, path, handle), counter_status::Valid) << path;
        return handle;
    }
    CounterStatus collectAt(std::int64_t ns, QueryHandle query = 0) {
        now_ = ns;
        return source_->collect(query == 0 ? query_ : query);
    }
    // The value, followed by the status when it is not valid.
    std::string show(CounterHandle handle) {
        using namespace counter_status;
        static const std::map<CounterStatus, std::string> names{{Valid, ""},
                                                                {InvalidData, " invalid"},
                                                                {NoInstance, " no instance"},
                                                                {NoObject, " no object"},
                                                                {InvalidHandle, " bad handle"}};
        CounterStatus status = 1;
        std::ostringstream text;
        text << std::setprecision(12) << source_->readDouble(handle, status);
        return text.str() + names.at(status);
    }
    // Each row is "path = reading after collection 1 / after 2 / ...", the last reading
    // holding for later ones. Each step copies its scenario (if any) over the tree first.
    void run(const std::vector<std::string>& rows, const std::vector<std::pair<const char*, std::int64_t>>& steps) {
        std::vector<CounterHandle> handles;
        for (const std::string& row : rows) {
            handles.push_back(add(row.substr(0, row.find(" = "))));
        }
        for (std::size_t step = 0; step < steps.size(); ++step) {
            if (steps[step].first != nullptr) {
                root_->apply(steps[step].first);
            }
            EXPECT_EQ(collectAt(steps[step].second), counter_status::Valid);
            std::string seen;
            std::string expected;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::size_t reading = rows[i].find(" = ") + 3;
                std::size_t from = reading;
                for (std::size_t k = 0; k < step && rows[i].find(" / ", from) != std::string::npos; ++k) {
                    from = rows[i].find(" / ", from) + 3;
                }
                seen += rows[i].substr(0, reading) + show(handles[i]) + "\n";
                expected += rows[i].substr(0, reading) + rows[i].substr(from, rows[i].find(" / ", from) - from) + "\n";
            }
            EXPECT_EQ(seen, expected) << "after collection " << step + 1;
        }
    }

    std::int64_t now_ = 0;
    std::unique_ptr<test::FixtureRoot> root_;
    std::unique_ptr<ProcValueSource> source_;
    QueryHandle query_ = 0;
};

TEST_F(ProcSourceOn, BasicMachineGauges) {
    use("basic");
    // RAS: ppp0, tun0 (down, so not connected whatever its carrier file says) and the point-to-point link
    // with the odd name; glued0 has no sysfs entry. quorvel-info's test reads the RAS bytes
    // received and the available memory of this tree. Of the speeds, -1 (unknown) and a
    // missing file count 0.
    run({"\\\\.\\ras total\\BYTES TRANSMITTED = 4822", "\\RAS Total\\Total Errors = 7",
         "\\RAS Total\\Total Connections = 2", "\\RAS Port(we\\ird(1))\\Bytes Transmitted = 22",
         "\\RAS Port(PPP0)\\Frames Transmitted = 40", "\\Network Interface(eth0)\\Current Bandwidth = 1000000000",
         "\\Network Interface(_Total)\\Current Bandwidth = 1010000000", "\\Memory\\Committed Bytes = 1024000000",
         "\\Memory\\Cache Bytes = 327680000", "\\Memory\\% Committed Bytes In Use = 25", "\\System\\Processes = 3",
         "\\System\\Processor Queue Length = 3", "\\System\\System Up Time = 12345.67"},
        {{nullptr, kSecond}});
}

TEST_F(ProcSourceOn, BasicMachineRatesAndInstances) {
    use("basic");
    // Nothing moves: rates are invalid after the first collection, then 0; processor times
    // wait for a tick. glued0's name touches its first number on the last line of a
    // /proc/net/dev larger than 4 KiB. Instances are looked for at each collection, without
    // regard to case; eth0 is no remote-access link, bad0 a malformed line.
    run({"\\Network Interface(glued0)\\Bytes Total/sec = 0 invalid / 0",
         "\\Network Interface(lo)\\Packets/sec = 0 invalid / 0",
         "\\Network Interface(_Total)\\Packets Received/sec = 0 invalid / 0",
         "\\PhysicalDisk(nvme0n1)\\Disk Write Bytes/sec = 0 invalid / 0", "\\Processor(3)\\% User Time = 0 invalid",
         "\\PhysicalDisk(SDA1)\\Disk Bytes/sec = 0 invalid / 0", "\\RAS Port(eth0)\\Bytes Received = 0 no instance",
         "\\Network Interface(bad0)\\Bytes Sent/sec = 0 no instance", "\\Processor(4)\\% Idle Time = 0 no instance",
         "\\PhysicalDisk(sdz)\\Disk Bytes/sec = 0 no instance"},
        {{nullptr, kSecond}, {nullptr, 2 * kSecond}});
}

TEST_F(ProcSourceOn, HeaderOnlyAndMissingFiles) {
    use("header-only");
    run({"\\RAS Total\\Total Connections = 0", "\\Network Interface(_Total)\\Bytes Sent/sec = 0 invalid / 0",
         "\\PhysicalDisk(_Total)\\Disk Bytes/sec = 0 invalid / 0", "\\Processor(_Total)\\% Idle Time = 0 no object",
         "\\Memory\\Available Bytes = 0 no object", "\\System\\System Up Time = 0 no object"},
        {{nullptr, kSecond}, {nullptr, 2 * kSecond}});
}

TEST_F(ProcSourceOn, RatesIgnoreResetsWrapsAndLinksThatComeAndGo) {
    use("rates/step1");
    // Step 2, two seconds on: ppp0 +2000; ppp1 wraps at 32 bits; ppp2 resets; ppp3 goes;
    // ppp4 comes. Step 3, one second on: ppp1 +200, ppp2 +1000 from its new start, ppp4 +2000.
    // Processor 1 goes backwards, then spends one tick in user time.
    run({"\\RAS Total\\Bytes Received/Sec = 0 invalid / 1000 / 3200",
         "\\RAS Total\\Bytes Transmitted/Sec = 0 invalid / 2500 / 0",
         "\\RAS Total\\Total Errors/Sec = 0 invalid / 1 / 2", "\\RAS Total\\Total Connections = 4",
         "\\RAS Port(ppp1)\\Bytes Received/Sec = 0 invalid / 0 / 200",
         "\\RAS Port(ppp4)\\Bytes Received/Sec = 0 no instance / 0 invalid / 2000",
         "\\Network Interface(_Total)\\Bytes Received/sec = 0 invalid / 3500 / 3200",
         "\\Network Interface(eth0)\\Bytes Total/sec = 0 invalid / 5500 / 0",
         "\\Network Interface(eth0)\\Packets Sent/sec = 0 invalid / 30 / 0",
         "\\Processor(_Total)\\% Processor Time = 0 invalid / 15",
         "\\Processor(_Total)\\% Privileged Time = 0 invalid / 5", "\\Processor(_Total)\\% Idle Time = 0 invalid / 85",
         "\\Processor(0)\\% User Time = 0 invalid / 50", "\\Processor(1)\\% User Time = 0 invalid / 0 / 100",
         "\\System\\Context Switches/sec = 0 invalid / 2000 / 0",
         "\\PhysicalDisk(_Total)\\Disk Read Bytes/sec = 0 invalid / 512000 / 0",
         "\\PhysicalDisk(sda)\\Disk Bytes/sec = 0 invalid / 1536000 / 0",
         "\\PhysicalDisk(sda1)\\Disk Write Bytes/sec = 0 invalid / 1792000 / 0"},
        {{nullptr, 10 * kSecond}, {"rates/step2", 12 * kSecond}, {"rates/step3", 13 * kSecond}});
}

TEST_F(ProcSourceOn, AnIntervalWithoutTimeKeepsTheLastReadingAndItsBaseline) {
    use("rates/step1");
    run({"\\RAS Total\\Bytes Received/Sec = 0 invalid / 1000 / 1000 / 3200"},
        {{nullptr, kSecond}, {"rates/step2", 3 * kSecond}, {"rates/step3", 3 * kSecond}, {nullptr, 4 * kSecond}});
}

TEST_F(ProcSourceOn, QueriesCollectedTogetherShareOneReading) {
    use("rates/step1");
    QueryHandle other = 0;
    ASSERT_EQ(source_->openQuery(other), counter_status::Valid);
    const CounterHandle first = add("\\RAS Total\\Bytes Received/Sec");
    const CounterHandle second = add("\\RAS Total\\Bytes Received/Sec", other);
    collectAt(kSecond);
    root_->apply("rates/step2");
    // A moment later, within the same tick: the second query uses the first one's reading.
    collectAt(kSecond + 1000, other);
    collectAt(3 * kSecond);
    collectAt(3 * kSecond + 1000, other);
    EXPECT_EQ(show(first) + ", " + show(second), "1000, 1000");
    // A query collected twice in a row always reads afresh.
    root_->apply("rates/step3");
    collectAt(3 * kSecond + 100'000'000);
    EXPECT_EQ(show(first), "32000");
}

TEST_F(ProcSourceOn, InstanceNamesMatchWithoutCaseInTheLocale) {
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale on this machine";
    }
    use("basic");
    run({"\\Network Interface(\xC3\x9CML\xC3\x84UT)\\Current Bandwidth = 0"}, {{nullptr, kSecond}});
    std::setlocale(LC_ALL, "C");
}

TEST_F(ProcSourceOn, UnknownPathsAndHandlesAreRefused) {
    use("basic");
    std::array<char, 256> host{};
    ASSERT_EQ(::gethostname(host.data(), host.size() - 1), 0);
    const std::pair<std::string, CounterStatus> cases[] = {
        {"", counter_status::BadCounterName},
        {"\\\\elsewhere\\RAS Total\\Bytes Received", counter_status::NoMachine},
        {"\\No Such Object\\Bytes Received", counter_status::NoObject},
        {"\\RAS Total\\Bytes Received/Minute", counter_status::NoCounter},
        {"\\RAS Port(ppp0)\\Total Connections", counter_status::NoCounter},
        {"\\RAS Port\\Bytes Received", counter_status::NoInstance},
        {"\\Memory(0)\\Available Bytes", counter_status::NoInstance},
        {"\\\\" + std::string(host.data()) + "\\RAS Total\\Bytes Received", counter_status::Valid}};
    for (const auto& [path, status] : cases) {
        CounterHandle handle = 77;
        EXPECT_EQ(source_->addCounter(query_, path, handle), status) << path;
        EXPECT_EQ(handle == 77, status != counter_status::Valid) << path;
    }
    // Handles are checked and never reused.
    const CounterHandle first = add("\\Memory\\Available Bytes");
    EXPECT_EQ(collectAt(0, query_ + 1), counter_status::InvalidHandle);
    ASSERT_EQ(source_->closeQuery(query_), counter_status::Valid);
    EXPECT_EQ(source_->closeQuery(query_), counter_status::InvalidHandle);
    EXPECT_EQ(collectAt(0), counter_status::InvalidHandle);
    EXPECT_EQ(show(0) + ", " + show(first + 1) + ", " + show(first), "0 bad handle, 0 bad handle, 0 bad handle");
    const QueryHandle closed = query_;
    ASSERT_EQ(source_->openQuery(query_), counter_status::Valid);
    EXPECT_NE(query_, closed);
    EXPECT_NE(add("\\Memory\\Available Bytes"), first);
}

}  // namespace
}  // namespace quorvel
