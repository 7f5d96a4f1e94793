#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include "counters/clsPdh.h"
#include "platform/linux/RoutingValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "support/FakeSnmpTransport.h"
#include "support/FakeValueSource.h"

namespace quorvel {
namespace {

using snmp::Column;
using snmp::Scalar;
using namespace std::chrono_literals;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr const char* kReceived = "\\\\nas\\Network Interface(eth0)\\Bytes Received/sec";

// A source whose machines all answer from one fake agent, on a clock the test moves.
struct Remote {
    std::shared_ptr<test::FakeAgent> agent = std::make_shared<test::FakeAgent>();
    std::shared_ptr<std::atomic<std::int64_t>> now = std::make_shared<std::atomic<std::int64_t>>(kSecond);
    SnmpValueSource source{agent->factory(), [now = now] { return now->load(); }};
    QueryHandle query = 0;

    Remote() {
        source.openQuery(query);
        agent->set(Scalar::SysUpTime, 100);
        setOctets(0);
    }
    void setOctets(std::uint64_t in) {
        agent->setText(Column::IfName, 1, "eth0");
        agent->setCell(Column::IfType, 1, 6);
        agent->setCell(Column::IfHCInOctets, 1, in, true);
    }
    CounterHandle add(const char* path, CounterStatus expected = counter_status::Valid) {
        CounterHandle h = 0;
        EXPECT_EQ(source.addCounter(query, path, h), expected) << path;
        return h;
    }
    // One tick a second later, after the machine answered for it.
    void tick() {
        *now += kSecond;
        source.refresh("nas", 0, 10s);
        source.collect(query);
    }
    // The reading as its value, or its status when it is not valid.
    std::string read(CounterHandle h) {
        CounterStatus status = 0;
        std::ostringstream text;
        text << source.readDouble(h, status);
        return status == counter_status::Valid         ? text.str()
               : status == counter_status::NoData      ? "no data"
               : status == counter_status::InvalidData ? "invalid"
                                                       : "status " + std::to_string(status);
    }
};

TEST(SnmpValueSource, RatesOverSuccessiveAnswers) {
    struct Tick {
        std::uint64_t octets;
        std::uint64_t upTime;  // the agent's: backwards when it restarted
        bool answers;
        const char* reading;  // "*": valid, whatever the value
    };
    struct Case {
        const char* what;
        std::vector<Tick> ticks;
    };
    const std::uint64_t g = 1'000'000'000;
    const Case cases[] = {
        // The agent may have counted its first change at any time since the answer before;
        // once it changed at every answer, it counts as often as it is asked.
        {"rates from successive answers",
         {{0, 100, true, "invalid"}, {2500, 100, true, "invalid"}, {4000, 100, true, "*"}, {5000, 100, true, "1000"}}},
        // While it was silent, its counters went on: no spike when it comes back.
        {"a silent machine reads no data and comes back without a spike",
         {{0, 100, true, "invalid"},
          {1000, 100, true, "invalid"},
          {2000, 100, true, "*"},
          {3000, 100, true, "1000"},
          {3000, 100, false, "no data"},
          {3000, 100, false, "no data"},
          {g, 100, false, "no data"},
          {g, 100, true, "invalid"},
          {g + 700, 100, true, "invalid"},
          {g + 1400, 100, true, "*"},
          {g + 2100, 100, true, "700"}}},
        {"a restarted agent starts its rates afresh",
         {{5'000'000, 100, true, "invalid"},
          {5'000'000, 100, true, "invalid"},
          {300, 50, true, "invalid"},
          {800, 150, true, "invalid"},
          {1300, 250, true, "*"},
          {1800, 350, true, "500"}}},
    };
    for (const Case& c : cases) {
        Remote r;
        const CounterHandle h = r.add(kReceived);
        EXPECT_EQ(r.read(h), "no data") << c.what;
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            const Tick& t = c.ticks[i];
            r.setOctets(t.octets);
            r.agent->set(Scalar::SysUpTime, t.upTime);
            r.agent->setMode(t.answers ? test::FakeAgent::Mode::Answer : test::FakeAgent::Mode::NoAnswer);
            r.tick();
            const std::string seen = r.read(h);
            EXPECT_TRUE(std::string_view(t.reading) == "*"
                            ? seen.find_first_not_of("0123456789.e+-") == std::string::npos
                            : seen == t.reading)
                << c.what << ", tick " << i + 1 << ": " << seen << " instead of " << t.reading;
        }
    }
}

// The gadget's own tick: clsPdh through the router collects and reads, and never waits for
// the machine; the answer its collection asked for shows at a later tick.
TEST(SnmpValueSource, TheGadgetsTicksReadARemoteCounterWithoutARefresh) {
    Remote r;
    r.agent->set(Scalar::HrSystemProcesses, 42);
    test::FakeValueSource local;
    RoutingValueSource router(local, r.source, "desk");
    clsPdh counter(router);
    counter.AddCounter("\\\\nas\\System\\Processes");
    double value = 0;
    for (const auto deadline = std::chrono::steady_clock::now() + 10s;
         value != 42.0 && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(5ms)) {
        *r.now += kSecond / 10;
        counter.Collect();
        value = counter.GetValue();
    }
    EXPECT_EQ(counter.Status(), counter_status::Valid);
    EXPECT_EQ(value, 42.0);
}

TEST(SnmpValueSource, RefusesWhatTheRemoteSourceCannotOffer) {
    Remote r;
    r.add("\\\\nas\\PhysicalDisk(_Total)\\Disk Bytes/sec", counter_status::NoObject);
    r.add("\\\\nas\\Memory\\Committed Bytes", counter_status::NoCounter);
    r.add("\\\\nas\\Processor(0)\\% User Time", counter_status::NoCounter);
    r.add("\\\\nas\\Nothing\\Bytes", counter_status::NoObject);
    r.add("\\\\bad name\\Memory\\Available Bytes", counter_status::NoMachine);
    r.add("\\\\nas\\Network Interface\\Bytes Sent/sec", counter_status::NoInstance);
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::Valid);
    // Once the agent answered without the memory objects, they are refused like unknown ones.
    r.tick();
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::NoCounter);
    r.agent->set(Scalar::MemSysAvail, 4, true);
    r.tick();
    const CounterHandle h = r.add("\\\\nas\\Memory\\Available Bytes");
    r.tick();
    EXPECT_EQ(r.read(h), "4096");
}

TEST(SnmpValueSource, CollectDoesNotWaitForAHangingMachine) {
    Remote r;
    const CounterHandle h = r.add(kReceived);
    r.agent->setMode(test::FakeAgent::Mode::Hang);
    // Each collection asks and returns; the one request stays in flight.
    for (int i = 0; i < 5; ++i) {
        *r.now += kSecond;
        EXPECT_EQ(r.source.collect(r.query), counter_status::Valid);
        EXPECT_EQ(r.read(h), "no data");
    }
    EXPECT_LE(r.agent->fetches(), 1);
    r.agent->setMode(test::FakeAgent::Mode::Answer);
}

TEST(SnmpValueSource, QueriesOfOneTickShareOneRequest) {
    Remote r;
    QueryHandle second = 0;
    r.source.openQuery(second);
    CounterHandle sent = 0;
    r.source.addCounter(second, "\\\\nas\\Network Interface(eth0)\\Bytes Sent/sec", sent);
    r.add(kReceived);
    r.tick();
    const int before = r.agent->fetches();
    for (int i = 0; i < 3; ++i) {
        r.tick();
        r.source.collect(second);
    }
    EXPECT_EQ(r.agent->fetches() - before, 3);
}

TEST(SnmpValueSource, QuitsWhileAMachineIsSilent) {
    auto r = std::make_unique<Remote>();
    r->add(kReceived);
    r->add("\\\\router\\Network Interface(eth0)\\Bytes Received/sec");
    r->agent->setMode(test::FakeAgent::Mode::Hang);
    r->source.collect(r->query);
    r.reset();  // must return, with the workers still waiting on the silent agent
}

}  // namespace
}  // namespace quorvel
