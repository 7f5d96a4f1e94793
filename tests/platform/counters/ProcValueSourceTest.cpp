#include "platform/linux/ProcValueSource.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <memory>
#include <string>

#include "FixtureRoot.h"
#include "common/RuntimeError.h"
#include "counters/clsPdh.h"

namespace quorvel {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

struct Seen {
    double value;
    CounterStatus status;
};

class ProcSourceOn : public ::testing::Test {
protected:
    void use(const std::string& scenario) {
        root_ = std::make_unique<test::FixtureRoot>(scenario);
        source_ = std::make_unique<ProcValueSource>(root_->path(), [this] { return now_; });
        ASSERT_EQ(source_->openQuery(query_), counter_status::Valid);
    }
    CounterHandle add(const std::string& path) {
        CounterHandle handle = 0;
        EXPECT_EQ(source_->addCounter(query_, path, handle), counter_status::Valid) << path;
        return handle;
    }
    void collectAt(std::int64_t ns) {
        now_ = ns;
        EXPECT_EQ(source_->collect(query_), counter_status::Valid);
    }
    Seen read(CounterHandle handle) {
        CounterStatus status = 0xFFFFFFFF;
        const double value = source_->readDouble(handle, status);
        return {value, status};
    }

    std::int64_t now_ = 0;
    std::unique_ptr<test::FixtureRoot> root_;
    std::unique_ptr<ProcValueSource> source_;
    QueryHandle query_ = 0;
};

struct ValueCase {
    const char* path;
    double value;
};

TEST_F(ProcSourceOn, BasicMachineGauges) {
    use("basic");
    const ValueCase cases[] = {
        // ppp0, tun0 and the point-to-point link with the odd name; glued0 has no sysfs entry.
        {"\\RAS Total\\Bytes Received", 3000 + 700 + 11},
        {"\\RAS Total\\Bytes Transmitted", 4000 + 800 + 22},
        {"\\RAS Total\\Frames Received", 30 + 7 + 1},
        {"\\RAS Total\\Total Errors", 3 + 4},
        // tun0 is up but without carrier: not connected.
        {"\\RAS Total\\Total Connections", 2},
        {"\\ras total\\BYTES RECEIVED", 3711},
        {"\\\\.\\RAS Total\\Bytes Received", 3711},
        {"\\RAS Port(we\\ird(1))\\Bytes Transmitted", 22},
        {"\\RAS Port(PPP0)\\Frames Transmitted", 40},
        {"\\Network Interface(eth0)\\Current Bandwidth", 1000e6},
        // A speed of -1 (unknown) and a missing speed file count 0.
        {"\\Network Interface(_Total)\\Current Bandwidth", 1010e6},
        {"\\Memory\\Available Bytes", 2000000.0 * 1024},
        {"\\Memory\\Committed Bytes", 1000000.0 * 1024},
        {"\\Memory\\Cache Bytes", 320000.0 * 1024},
        {"\\Memory\\% Committed Bytes In Use", 25},
        {"\\System\\Processes", 3},
        {"\\System\\Processor Queue Length", 3},
        {"\\System\\System Up Time", 12345.67},
    };
    std::vector<CounterHandle> handles;
    for (const ValueCase& c : cases) {
        handles.push_back(add(c.path));
    }
    collectAt(kSecond);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Seen seen = read(handles[i]);
        EXPECT_EQ(seen.status, counter_status::Valid) << cases[i].path;
        EXPECT_DOUBLE_EQ(seen.value, cases[i].value) << cases[i].path;
    }
}

TEST_F(ProcSourceOn, BasicMachineRatesStartInvalidThenSettle) {
    use("basic");
    const char* paths[] = {
        "\\RAS Total\\Bytes Transmitted/Sec",     "\\RAS Total\\Total Errors/Sec",
        "\\RAS Port(tun0)\\Frames Received/Sec",  "\\Network Interface(glued0)\\Bytes Total/sec",
        "\\Network Interface(lo)\\Packets/sec",   "\\Network Interface(_Total)\\Packets Received/sec",
        "\\PhysicalDisk(_Total)\\Disk Bytes/sec", "\\PhysicalDisk(nvme0n1)\\Disk Write Bytes/sec",
        "\\System\\Context Switches/sec",         "\\Processor(3)\\% User Time",
    };
    std::vector<CounterHandle> handles;
    for (const char* path : paths) {
        handles.push_back(add(path));
    }
    for (const CounterHandle h : handles) {
        EXPECT_EQ(read(h).status, counter_status::InvalidData) << "before any collection";
    }
    collectAt(kSecond);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const Seen seen = read(handles[i]);
        EXPECT_EQ(seen.status, counter_status::InvalidData) << paths[i];
        EXPECT_EQ(seen.value, 0.0) << paths[i];
    }
    collectAt(2 * kSecond);
    // Nothing moved. Processor times wait for a tick to pass, the rest read 0.
    for (std::size_t i = 0; i + 1 < handles.size(); ++i) {
        const Seen seen = read(handles[i]);
        EXPECT_EQ(seen.status, counter_status::Valid) << paths[i];
        EXPECT_EQ(seen.value, 0.0) << paths[i];
    }
    EXPECT_EQ(read(handles.back()).status, counter_status::InvalidData);
}

TEST_F(ProcSourceOn, InstancesAreLookedForAtEachCollection) {
    use("basic");
    const struct {
        const char* path;
        CounterStatus status;
    } cases[] = {
        {"\\RAS Port(eth0)\\Bytes Received", counter_status::NoInstance},  // not a remote-access link
        {"\\RAS Port(ppp9)\\Bytes Received", counter_status::NoInstance},
        {"\\Network Interface(bad0)\\Bytes Sent/sec", counter_status::NoInstance},  // malformed line
        {"\\Processor(4)\\% Idle Time", counter_status::NoInstance},
        {"\\Processor(x)\\% Idle Time", counter_status::NoInstance},
        {"\\PhysicalDisk(sdz)\\Disk Bytes/sec", counter_status::NoInstance},
        {"\\PhysicalDisk(SDA1)\\Disk Bytes/sec", counter_status::InvalidData},
        {"\\Network Interface(ETH0)\\Bytes Sent/sec", counter_status::InvalidData},
    };
    std::vector<CounterHandle> handles;
    for (const auto& c : cases) {
        handles.push_back(add(c.path));
    }
    collectAt(kSecond);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Seen seen = read(handles[i]);
        EXPECT_EQ(seen.status, cases[i].status) << cases[i].path;
        EXPECT_EQ(seen.value, 0.0) << cases[i].path;
    }
}

TEST_F(ProcSourceOn, InstanceNamesMatchWithoutCaseInTheLocale) {
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale on this machine";
    }
    use("basic");
    const CounterHandle h = add("\\Network Interface(\xC3\x9CML\xC3\x84UT)\\Current Bandwidth");
    collectAt(kSecond);
    EXPECT_EQ(read(h).status, counter_status::Valid);
    std::setlocale(LC_ALL, "C");
}

TEST_F(ProcSourceOn, UnknownPathsAreRefusedAndWriteNoHandle) {
    use("basic");
    std::array<char, 256> host{};
    ASSERT_EQ(::gethostname(host.data(), host.size() - 1), 0);
    const struct {
        std::string path;
        CounterStatus status;
    } cases[] = {
        {"", counter_status::BadCounterName},
        {"RAS Total\\Bytes Received", counter_status::BadCounterName},
        {"\\\\elsewhere\\RAS Total\\Bytes Received", counter_status::NoMachine},
        {"\\No Such Object\\Bytes Received", counter_status::NoObject},
        {"\\RAS Total\\Bytes Received/Minute", counter_status::NoCounter},
        {"\\RAS Port\\Bytes Received", counter_status::NoInstance},
        {"\\RAS Port()\\Bytes Received", counter_status::NoInstance},
        {"\\Memory(0)\\Available Bytes", counter_status::NoInstance},
        {"\\RAS Port(ppp0)\\Total Connections", counter_status::NoCounter},
        {"\\\\" + std::string(host.data()) + "\\RAS Total\\Bytes Received", counter_status::Valid},
    };
    for (const auto& c : cases) {
        CounterHandle handle = 77;
        EXPECT_EQ(source_->addCounter(query_, c.path, handle), c.status) << c.path;
        EXPECT_EQ(handle == 77, c.status != counter_status::Valid) << c.path;
    }
}

TEST_F(ProcSourceOn, HandlesAreCheckedAndNeverReused) {
    use("basic");
    const CounterHandle first = add("\\Memory\\Available Bytes");
    EXPECT_EQ(read(0).status, counter_status::InvalidHandle);
    EXPECT_EQ(read(first + 1).status, counter_status::InvalidHandle);
    CounterHandle untouched = 0;
    EXPECT_EQ(source_->addCounter(0, "\\Memory\\Available Bytes", untouched), counter_status::InvalidHandle);
    EXPECT_EQ(source_->collect(query_ + 1), counter_status::InvalidHandle);

    ASSERT_EQ(source_->closeQuery(query_), counter_status::Valid);
    EXPECT_EQ(source_->closeQuery(query_), counter_status::InvalidHandle);
    EXPECT_EQ(source_->collect(query_), counter_status::InvalidHandle);
    EXPECT_EQ(read(first).status, counter_status::InvalidHandle);

    QueryHandle again = 0;
    ASSERT_EQ(source_->openQuery(again), counter_status::Valid);
    EXPECT_NE(again, query_);
    query_ = again;
    EXPECT_NE(add("\\Memory\\Available Bytes"), first);
}

struct StepCase {
    const char* path;
    double afterStep2;  // two seconds after step 1
    double afterStep3;  // one second after step 2
    CounterStatus statusAtStep2 = counter_status::Valid;
};

TEST_F(ProcSourceOn, RatesIgnoreResetsWrapsAndLinksThatComeAndGo) {
    use("rates/step1");
    const StepCase cases[] = {
        // ppp0 +2000; ppp1 wraps at 32 bits; ppp2 resets; ppp3 goes; ppp4 comes. Then ppp1 +200,
        // ppp2 +1000 from its new start, ppp4 +2000.
        {"\\RAS Total\\Bytes Received/Sec", 2000.0 / 2, 3200},
        {"\\RAS Total\\Bytes Transmitted/Sec", (4000.0 + 1000) / 2, 0},
        {"\\RAS Total\\Frames Received/Sec", 20.0 / 2, 32},
        {"\\RAS Total\\Total Errors/Sec", 2.0 / 2, 2},
        {"\\RAS Total\\Total Connections", 4, 4},
        {"\\RAS Port(ppp1)\\Bytes Received/Sec", 0, 200},
        {"\\RAS Port(ppp4)\\Bytes Received/Sec", 0, 2000, counter_status::InvalidData},  // first seen
        {"\\Network Interface(_Total)\\Bytes Received/sec", (5000.0 + 2000) / 2, 3200},
        {"\\Network Interface(eth0)\\Bytes Total/sec", (5000.0 + 6000) / 2, 0},
        {"\\Network Interface(eth0)\\Packets Sent/sec", 60.0 / 2, 0},
        {"\\Network Interface(lo)\\Bytes Sent/sec", 0, 0},
        {"\\Processor(_Total)\\% Processor Time", 15, 15},
        {"\\Processor(_Total)\\% User Time", 10, 10},
        {"\\Processor(_Total)\\% Privileged Time", 5, 5},
        {"\\Processor(_Total)\\% Idle Time", 85, 85},
        {"\\Processor(0)\\% User Time", 50, 50},
        {"\\Processor(1)\\% User Time", 0, 100},  // went backwards, then one tick of user time
        {"\\System\\Context Switches/sec", 4000.0 / 2, 0},
        {"\\PhysicalDisk(_Total)\\Disk Read Bytes/sec", 2000.0 * 512 / 2, 0},
        {"\\PhysicalDisk(sda)\\Disk Bytes/sec", 6000.0 * 512 / 2, 0},
        {"\\PhysicalDisk(sda1)\\Disk Write Bytes/sec", 7000.0 * 512 / 2, 0},
    };
    std::vector<CounterHandle> handles;
    for (const StepCase& c : cases) {
        handles.push_back(add(c.path));
    }
    collectAt(10 * kSecond);
    root_->apply("rates/step2");
    collectAt(12 * kSecond);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Seen seen = read(handles[i]);
        EXPECT_EQ(seen.status, cases[i].statusAtStep2) << cases[i].path;
        EXPECT_DOUBLE_EQ(seen.value, cases[i].afterStep2) << "step 2: " << cases[i].path;
    }
    root_->apply("rates/step3");
    collectAt(13 * kSecond);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(read(handles[i]).status, counter_status::Valid) << cases[i].path;
        EXPECT_DOUBLE_EQ(read(handles[i]).value, cases[i].afterStep3) << "step 3: " << cases[i].path;
    }
}

TEST_F(ProcSourceOn, AnIntervalWithoutTimeIsSkipped) {
    use("rates/step1");
    const CounterHandle h = add("\\RAS Total\\Bytes Received/Sec");
    collectAt(kSecond);
    root_->apply("rates/step2");
    collectAt(3 * kSecond);
    ASSERT_DOUBLE_EQ(read(h).value, 1000);
    root_->apply("rates/step3");
    collectAt(3 * kSecond);  // the clock did not move: keep the last reading and its baseline
    EXPECT_DOUBLE_EQ(read(h).value, 1000);
    EXPECT_EQ(read(h).status, counter_status::Valid);
    collectAt(4 * kSecond);
    EXPECT_DOUBLE_EQ(read(h).value, 3200);
}

TEST_F(ProcSourceOn, QueriesCollectedTogetherShareOneReading) {
    use("rates/step1");
    const CounterHandle sent = add("\\RAS Total\\Bytes Received/Sec");
    QueryHandle other = 0;
    ASSERT_EQ(source_->openQuery(other), counter_status::Valid);
    CounterHandle received = 0;
    ASSERT_EQ(source_->addCounter(other, "\\RAS Total\\Bytes Received/Sec", received), counter_status::Valid);

    collectAt(kSecond);
    root_->apply("rates/step2");
    // A moment later, within the same tick: the second query uses the first one's reading.
    now_ += 1000;
    ASSERT_EQ(source_->collect(other), counter_status::Valid);
    collectAt(3 * kSecond);
    now_ += 1000;
    ASSERT_EQ(source_->collect(other), counter_status::Valid);
    EXPECT_DOUBLE_EQ(read(sent).value, 1000);
    EXPECT_DOUBLE_EQ(read(received).value, 1000);

    // A query collected twice in a row always reads afresh.
    root_->apply("rates/step3");
    collectAt(3 * kSecond + 100'000'000);
    EXPECT_DOUBLE_EQ(read(sent).value, 3200 / 0.1);
}

TEST_F(ProcSourceOn, HeaderOnlyAndMissingFiles) {
    use("header-only");
    const CounterHandle connections = add("\\RAS Total\\Total Connections");
    const CounterHandle total = add("\\Network Interface(_Total)\\Bytes Sent/sec");
    const CounterHandle cpu = add("\\Processor(_Total)\\% Idle Time");
    const CounterHandle memory = add("\\Memory\\Available Bytes");
    const CounterHandle up = add("\\System\\System Up Time");
    const CounterHandle disks = add("\\PhysicalDisk(_Total)\\Disk Bytes/sec");
    collectAt(kSecond);
    collectAt(2 * kSecond);
    EXPECT_EQ(read(connections).status, counter_status::Valid);
    EXPECT_EQ(read(connections).value, 0.0);
    EXPECT_EQ(read(total).status, counter_status::Valid);
    EXPECT_EQ(read(disks).status, counter_status::Valid);
    EXPECT_EQ(read(cpu).status, counter_status::NoObject);
    EXPECT_EQ(read(memory).status, counter_status::NoObject);
    EXPECT_EQ(read(up).status, counter_status::NoObject);
}

TEST_F(ProcSourceOn, DescribeListsCurrentInstances) {
    use("basic");
    const auto objects = source_->describe();
    ASSERT_EQ(objects.size(), 7U);
    const auto find = [&](const std::string& name) {
        return *std::find_if(objects.begin(), objects.end(), [&](const auto& o) { return o.name == name; });
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(find("RAS Port").instances, (Names{"ppp0", "tun0", "we\\ird(1)"}));
    EXPECT_EQ(find("PhysicalDisk").instances, (Names{"_Total", "sda", "nvme0n1"}));
    EXPECT_EQ(find("Processor").instances, (Names{"_Total", "0", "1", "2", "3"}));
    EXPECT_EQ(find("Network Interface").instances.size(), 1U + 47U);
    EXPECT_FALSE(find("RAS Total").hasInstances);
    EXPECT_EQ(find("RAS Total").counters.size(), 11U);
    EXPECT_EQ(find("RAS Port").counters.size(), 10U);
}

TEST(ProcValueSource, UnreachableRootFailsConstruction) {
    EXPECT_THROW(ProcValueSource("/nonexistent/quorvel-root"), RuntimeError);
}

TEST(ProcValueSource, DrivesAclsPdhOnAFixture) {
    test::FixtureRoot root("rates/step1");
    std::int64_t now = 0;
    ProcValueSource source(root.path(), [&now] { return now; });
    clsPdh sent(source);
    clsPdh received(source);
    sent.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    received.AddCounter("\\RAS Total\\Bytes Received/Sec");
    sent.Collect();
    received.Collect();
    EXPECT_EQ(sent.GetValue(), 0.0);
    root.apply("rates/step2");
    now = 2 * kSecond;
    sent.Collect();
    received.Collect();
    EXPECT_DOUBLE_EQ(sent.GetValue(), 2500);
    EXPECT_DOUBLE_EQ(received.GetValue(), 1000);
}

}  // namespace
}  // namespace quorvel
